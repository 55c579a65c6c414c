// The one thing the LandXML reader needs from an XML parser: a document's
// elements, attributes and text, in order. Two parsers stand behind it:
// expat on Linux, Windows' own XmlLite in the Windows builds. Either one
// decodes the document (UTF-8 or UTF-16, a byte-order mark, the encoding
// its declaration names), resolves character references and entities,
// and hands over names and text in UTF-8.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace velmora::landxml {

struct XmlAttribute {
  std::string_view name;  // local name: any prefix left off, namespace ignored
  std::string_view value;
};

class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  // The views are valid only during the call. An empty element (<a/>)
  // comes as a start and an end.
  virtual void Start(std::string_view name, std::span<const XmlAttribute> attributes) = 0;
  // Character data inside the current element, possibly in several pieces.
  virtual void Text(std::string_view text) = 0;
  virtual void End(std::string_view name) = 0;
};

// Parses a whole document from its raw bytes, calling `handler` as it
// goes. False, with the reason and where in `error`, when the bytes are not
// a well-formed document (the handler may have had calls by then) or the
// parser cannot be had. Documents nested deeper than kMaxXmlDepth are
// refused.
bool ParseXml(std::string_view bytes, XmlHandler& handler, std::string& error);

inline constexpr std::size_t kMaxXmlDepth = 256;

// The local part of a qualified name: "landxml:Line" -> "Line".
inline std::string_view LocalName(std::string_view name) {
  const std::size_t colon = name.rfind(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

}  // namespace velmora::landxml
