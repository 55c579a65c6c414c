// A strict JSON reader for the tests (RFC 8259): a text either reads as one
// value or is refused with the place it went wrong.
#pragma once

#include <cctype>
#include <charconv>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace velmora::test {

struct Json;
using JsonArray = std::vector<Json>;
using JsonObject = std::map<std::string, Json>;

struct Json {
  std::variant<std::nullptr_t, bool, double, std::string, std::shared_ptr<JsonArray>,
               std::shared_ptr<JsonObject>>
      value;

  bool IsNull() const { return std::holds_alternative<std::nullptr_t>(value); }
  double Number() const { return std::get<double>(value); }
  const std::string& String() const { return std::get<std::string>(value); }
  const JsonArray& Array() const { return *std::get<std::shared_ptr<JsonArray>>(value); }
  const JsonObject& Object() const { return *std::get<std::shared_ptr<JsonObject>>(value); }
  const Json& operator[](const std::string& key) const { return Object().at(key); }
  const Json& operator[](std::size_t i) const { return Array().at(i); }
};

class JsonReader {
 public:
  // The value, or an exception naming the offset where the text is not JSON.
  static Json Read(std::string_view text) {
    JsonReader reader(text);
    Json value = reader.Value();
    reader.Blanks();
    if (reader.at_ != text.size()) {
      reader.Fail("text after the value");
    }
    return value;
  }

 private:
  explicit JsonReader(std::string_view text) : text_(text) {}

  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error(what + " at offset " + std::to_string(at_));
  }
  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
  void Blanks() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t')) {
      ++at_;
    }
  }
  void Expect(char c) {
    if (Peek() != c) {
      Fail(std::string("expected '") + c + "'");
    }
    ++at_;
  }
  void Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) {
      Fail("unknown word");
    }
    at_ += word.size();
  }

  Json Value() {
    Blanks();
    switch (Peek()) {
      case '{': {
        ++at_;
        auto object = std::make_shared<JsonObject>();
        Blanks();
        if (Peek() == '}') {
          ++at_;
          return {object};
        }
        for (;;) {
          Blanks();
          std::string key = String();
          if (object->contains(key)) {
            Fail("a key given twice");
          }
          Blanks();
          Expect(':');
          (*object)[key] = Value();
          Blanks();
          if (Peek() == ',') {
            ++at_;
            continue;
          }
          Expect('}');
          return {object};
        }
      }
      case '[': {
        ++at_;
        auto array = std::make_shared<JsonArray>();
        Blanks();
        if (Peek() == ']') {
          ++at_;
          return {array};
        }
        for (;;) {
          array->push_back(Value());
          Blanks();
          if (Peek() == ',') {
            ++at_;
            continue;
          }
          Expect(']');
          return {array};
        }
      }
      case '"':
        return {String()};
      case 't':
        Word("true");
        return {true};
      case 'f':
        Word("false");
        return {false};
      case 'n':
        Word("null");
        return {nullptr};
      default:
        return {Number()};
    }
  }

  std::string String() {
    Expect('"');
    std::string out;
    for (;;) {
      if (at_ >= text_.size()) {
        Fail("a string without its end");
      }
      const char c = text_[at_++];
      if (c == '"') {
        return out;
      }
      if (static_cast<unsigned char>(c) < 0x20) {
        Fail("a control character in a string");
      }
      if (c != '\\') {
        out += c;
        continue;
      }
      const char e = Peek();
      ++at_;
      const std::string_view simple = "\"\\/bfnrt";
      const std::string_view meant = "\"\\/\b\f\n\r\t";
      if (const auto i = simple.find(e); i != std::string_view::npos) {
        out += meant[i];
      } else if (e == 'u') {
        unsigned code = 0;
        const auto hex = text_.substr(at_, 4);
        const auto r = std::from_chars(hex.data(), hex.data() + hex.size(), code, 16);
        if (hex.size() != 4 || r.ptr != hex.data() + 4 || code >= 0x80) {
          Fail("a \\u escape this reader does not take");
        }
        out += static_cast<char>(code);
        at_ += 4;
      } else {
        Fail("an unknown escape");
      }
    }
  }

  double Number() {
    // -? (0 | [1-9][0-9]*) (. [0-9]+)? ([eE] [+-]? [0-9]+)?
    const std::size_t start = at_;
    const auto digits = [&] {
      const std::size_t from = at_;
      while (std::isdigit(static_cast<unsigned char>(Peek()))) {
        ++at_;
      }
      if (at_ == from) {
        Fail("a number without digits");
      }
    };
    if (Peek() == '-') {
      ++at_;
    }
    if (Peek() == '0') {
      ++at_;
    } else {
      digits();
    }
    if (Peek() == '.') {
      ++at_;
      digits();
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++at_;
      if (Peek() == '+' || Peek() == '-') {
        ++at_;
      }
      digits();
    }
    double value = 0.0;
    std::from_chars(text_.data() + start, text_.data() + at_, value);
    return value;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace velmora::test
