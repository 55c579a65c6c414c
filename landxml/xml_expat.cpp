// ParseXml with expat. Namespaces are processed (an undeclared prefix is an
// error, as in XmlLite), and names reach the handler as their local part.
// Expat reads UTF-8, UTF-16 with a byte-order mark or a declaration, and
// ISO-8859-1 and US-ASCII; it expands the internal entities of a document's
// DTD (with its own limits on their growth) and loads nothing from outside.
#include <expat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "landxml/xml.h"

namespace velmora::landxml {
namespace {

constexpr char kSeparator = '\x01';  // between a namespace and a local name

std::string_view Local(const XML_Char* name) {
  const std::string_view whole(name);
  const std::size_t separator = whole.rfind(kSeparator);
  return separator == std::string_view::npos ? whole : whole.substr(separator + 1);
}

struct State {
  XML_Parser parser = nullptr;
  XmlHandler* handler = nullptr;
  std::vector<XmlAttribute> attributes;
  std::size_t depth = 0;
  bool too_deep = false;
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  State& state = *static_cast<State*>(data);
  if (++state.depth > kMaxXmlDepth) {
    state.too_deep = true;
    XML_StopParser(state.parser, XML_FALSE);
    return;
  }
  state.attributes.clear();
  for (const XML_Char** a = attributes; a[0] != nullptr; a += 2) {
    state.attributes.push_back({Local(a[0]), std::string_view(a[1])});
  }
  state.handler->Start(Local(name), state.attributes);
}

void XMLCALL OnEnd(void* data, const XML_Char* name) {
  State& state = *static_cast<State*>(data);
  --state.depth;
  state.handler->End(Local(name));
}

void XMLCALL OnText(void* data, const XML_Char* text, int length) {
  State& state = *static_cast<State*>(data);
  state.handler->Text(std::string_view(text, static_cast<std::size_t>(length)));
}

}  // namespace

bool ParseXml(std::string_view bytes, XmlHandler& handler, std::string& error) {
  State state;
  state.handler = &handler;
  state.parser = XML_ParserCreateNS(nullptr, kSeparator);
  if (state.parser == nullptr) {
    error = "the XML parser could not be created";
    return false;
  }
  XML_SetUserData(state.parser, &state);
  XML_SetElementHandler(state.parser, OnStart, OnEnd);
  XML_SetCharacterDataHandler(state.parser, OnText);

  constexpr std::size_t kChunk = 1 << 20;
  bool ok = true;
  do {
    const std::size_t size = std::min(bytes.size(), kChunk);
    const bool last = size == bytes.size();
    if (XML_Parse(state.parser, bytes.data(), static_cast<int>(size),
                  last ? XML_TRUE : XML_FALSE) != XML_STATUS_OK) {
      ok = false;
      break;
    }
    bytes.remove_prefix(size);
  } while (!bytes.empty());

  if (!ok) {
    const auto line = XML_GetCurrentLineNumber(state.parser);
    const auto column = XML_GetCurrentColumnNumber(state.parser);
    if (state.too_deep) {
      error = "elements nested more than " + std::to_string(kMaxXmlDepth) + " deep";
    } else {
      error = XML_ErrorString(XML_GetErrorCode(state.parser));
    }
    error =
        "line " + std::to_string(line) + ", column " + std::to_string(column + 1) + ": " + error;
  }
  XML_ParserFree(state.parser);
  return ok;
}

}  // namespace velmora::landxml
