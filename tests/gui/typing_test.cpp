// typing
