// ParseXml with XmlLite, the XML reader that is part of Windows (and of
// Wine). It is loaded from the system folder when first needed, so the
// program imports nothing beyond kernel32 for it. XmlLite is handed the raw
// bytes and decodes them itself: UTF-8 or UTF-16 with or without a
// byte-order mark, or the encoding the declaration names. The DTD of a
// document is parsed, so that its internal entities expand as with expat;
// nothing is loaded from outside (no resolver is set).
#include <windows.h>
#include <xmllite.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "landxml/xml.h"

namespace velmora::landxml {
namespace {

// {7279FC81-709D-4095-B63D-69FE4B0D9030}
constexpr GUID kIidXmlReader = {
    0x7279fc81, 0x709d, 0x4095, {0xb6, 0x3d, 0x69, 0xfe, 0x4b, 0x0d, 0x90, 0x30}};
constexpr GUID kIidUnknown = {
    0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidSequentialStream = {
    0x0c733a30, 0x2a1c, 0x11ce, {0xad, 0xe5, 0x00, 0xaa, 0x00, 0x44, 0x77, 0x3d}};

using CreateXmlReaderFunction = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

CreateXmlReaderFunction LoadCreateXmlReader() {
  static const CreateXmlReaderFunction function = []() -> CreateXmlReaderFunction {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\xmllite.dll";
    HMODULE module = LoadLibraryW(path.c_str());
    if (module == nullptr) return nullptr;
    return reinterpret_cast<CreateXmlReaderFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "CreateXmlReader")));
  }();
  return function;
}

// The document's bytes as the stream XmlLite reads. It lives on the stack
// and outlives the reader, so counting references is only for form.
class MemoryStream final : public ISequentialStream {
 public:
  explicit MemoryStream(std::string_view bytes) : bytes_(bytes) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualGUID(iid, kIidUnknown) || IsEqualGUID(iid, kIidSequentialStream)) {
      *object = static_cast<ISequentialStream*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }

  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override {
    const std::size_t count = std::min<std::size_t>(size, bytes_.size());
    std::copy_n(bytes_.data(), count, static_cast<char*>(buffer));
    bytes_.remove_prefix(count);
    if (read != nullptr) *read = static_cast<ULONG>(count);
    return count < size ? S_FALSE : S_OK;
  }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }

 private:
  std::string_view bytes_;
  ULONG references_ = 1;
};

void AppendUtf8(std::string& out, const wchar_t* text, UINT length) {
  if (length == 0) return;
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  if (size <= 0) return;
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(size));
  WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data() + at, size, nullptr,
                      nullptr);
}

struct Releaser {
  IXmlReader* reader;
  ~Releaser() {
    if (reader != nullptr) reader->Release();
  }
};

std::string Where(IXmlReader* reader) {
  UINT line = 0;
  UINT column = 0;
  reader->GetLineNumber(&line);
  reader->GetLinePosition(&column);
  return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
}

// Whether the prefix of the current element or attribute, if any, is bound
// to a namespace, as XML with namespaces requires. Windows' XmlLite checks
// that itself, as expat does; Wine's reports an unbound prefix as none.
bool PrefixDeclared(IXmlReader* reader) {
  const wchar_t* name = nullptr;
  UINT length = 0;
  reader->GetQualifiedName(&name, &length);
  const std::wstring_view qualified(name, length);
  const std::size_t colon = qualified.find(L':');
  if (colon == std::wstring_view::npos) return true;
  const std::wstring_view prefix = qualified.substr(0, colon);
  if (prefix == L"xmlns" || prefix == L"xml") return true;
  const wchar_t* uri = nullptr;
  UINT uri_length = 0;
  return SUCCEEDED(reader->GetNamespaceUri(&uri, &uri_length)) && uri_length > 0;
}

std::string Hex(HRESULT result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
  return text;
}

}  // namespace

bool ParseXml(std::string_view bytes, XmlHandler& handler, std::string& error) {
  const CreateXmlReaderFunction create = LoadCreateXmlReader();
  if (create == nullptr) {
    error = "Windows' XML reader (xmllite.dll) could not be loaded";
    return false;
  }
  MemoryStream stream(bytes);
  IXmlReader* reader = nullptr;
  if (FAILED(create(kIidXmlReader, reinterpret_cast<void**>(&reader), nullptr)) ||
      reader == nullptr) {
    error = "Windows' XML reader could not be created";
    return false;
  }
  const Releaser releaser{reader};
  reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Parse);
  // One more than ours, so that the count below is what refuses.
  reader->SetProperty(XmlReaderProperty_MaxElementDepth, kMaxXmlDepth + 1);
  HRESULT result = reader->SetInput(&stream);
  if (FAILED(result)) {
    error = "Windows' XML reader refused the input (" + Hex(result) + ")";
    return false;
  }

  // Names and values in UTF-8, one buffer for all of an element's, so the
  // views handed on stay put.
  std::string texts;
  std::vector<std::pair<std::size_t, std::size_t>> spans;  // name, value offsets in texts
  std::vector<XmlAttribute> attributes;
  std::size_t depth = 0;
  XmlNodeType type = XmlNodeType_None;
  while ((result = reader->Read(&type)) == S_OK) {
    const wchar_t* text = nullptr;
    UINT length = 0;
    switch (type) {
      case XmlNodeType_Element: {
        if (++depth > kMaxXmlDepth) {
          error =
              Where(reader) + "elements nested more than " + std::to_string(kMaxXmlDepth) + " deep";
          return false;
        }
        const bool empty = reader->IsEmptyElement() != FALSE;
        if (!PrefixDeclared(reader)) {
          error = Where(reader) + "unbound prefix";
          return false;
        }
        texts.clear();
        spans.clear();
        reader->GetLocalName(&text, &length);
        AppendUtf8(texts, text, length);
        const std::size_t name_end = texts.size();
        for (HRESULT more = reader->MoveToFirstAttribute(); more == S_OK;
             more = reader->MoveToNextAttribute()) {
          const wchar_t* prefix = nullptr;
          UINT prefix_length = 0;
          reader->GetPrefix(&prefix, &prefix_length);
          reader->GetLocalName(&text, &length);
          if (!PrefixDeclared(reader)) {
            error = Where(reader) + "unbound prefix";
            return false;
          }
          // Namespace declarations are no attributes to the reader.
          if ((prefix_length == 5 && std::wstring_view(prefix, 5) == L"xmlns") ||
              (prefix_length == 0 && std::wstring_view(text, length) == L"xmlns")) {
            continue;
          }
          const std::size_t name_at = texts.size();
          AppendUtf8(texts, text, length);
          const std::size_t value_at = texts.size();
          reader->GetValue(&text, &length);
          AppendUtf8(texts, text, length);
          spans.emplace_back(name_at, value_at);
        }
        reader->MoveToElement();
        attributes.clear();
        for (std::size_t i = 0; i < spans.size(); ++i) {
          const std::size_t end = i + 1 < spans.size() ? spans[i + 1].first : texts.size();
          const std::string_view all(texts);
          attributes.push_back({all.substr(spans[i].first, spans[i].second - spans[i].first),
                                all.substr(spans[i].second, end - spans[i].second)});
        }
        const std::string_view name = std::string_view(texts).substr(0, name_end);
        handler.Start(name, attributes);
        if (empty) {
          --depth;
          handler.End(name);
        }
        break;
      }
      case XmlNodeType_EndElement: {
        --depth;
        reader->GetLocalName(&text, &length);
        texts.clear();
        AppendUtf8(texts, text, length);
        handler.End(texts);
        break;
      }
      case XmlNodeType_Text:
      case XmlNodeType_CDATA:
      case XmlNodeType_Whitespace:
        if (depth > 0) {
          reader->GetValue(&text, &length);
          texts.clear();
          AppendUtf8(texts, text, length);
          handler.Text(texts);
        }
        break;
      default:
        break;
    }
  }
  if (result == E_NOTIMPL) {
    // Wine's XmlLite reads no DTD.
    error = Where(reader) + "this XML reader does not read it (" + Hex(result) + ")";
    return false;
  }
  if (FAILED(result)) {
    error = Where(reader) + "not well-formed XML (XmlLite error " + Hex(result) + ")";
    return false;
  }
  return true;
}

}  // namespace velmora::landxml
