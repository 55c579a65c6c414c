// Why a road input could not be loaded: where, what kind of fault, and the
// message the front ends show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace velmora::model {

struct LoadError {
  enum class Kind {
    kUnreadable,   // the bytes could not be read
    kTooLarge,     // more bytes than a road input is read
    kEncoding,     // neither UTF-8 text nor XML (UTF-16 text, say)
    kElementFile,  // an element file's line is refused
    kJoin,         // an element cannot be computed from the one before it
    kLandXml,      // not a readable LandXML file, or its alignment is refused
    kAlignment,    // no alignment chosen, or the one named is not there
    kWrongOption,  // --alignment given for an element file
    kHeightFile,   // a profile or cross-slope file's line is refused
  };
  std::string file;  // as messages name it
  Kind kind = Kind::kUnreadable;
  std::uint64_t line = 0;              // the element file's line, from 1; 0 when none
  std::optional<std::size_t> element;  // the element at fault, from 0
  // What is wrong, with its place ("line 7: the element ..." or
  // 'alignment "A", element 2: ...'), as it follows the file's name.
  std::string message;

  // The whole message: the file's name (escaped where it must be), then the
  // message.
  std::string Text() const;
};

}  // namespace velmora::model
