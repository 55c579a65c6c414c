#include "roadwindow/messages.h"

#include "text/text.h"

namespace velmora::roadwindow {

std::string_view KindSentence(model::LoadError::Kind kind) {
  using Kind = model::LoadError::Kind;
  switch (kind) {
    case Kind::kUnreadable:
      return "文件无法读取。请确认文件存在且未被其他程序占用。";
    case Kind::kTooLarge:
      return "文件太大，超出道路文件可读取的大小。";
    case Kind::kEncoding:
      return "文件既不是 UTF-8 文本，也不是 XML。请以 UTF-8 编码另存后再打开。";
    case Kind::kElementFile:
      return "元素文件中有一行无法读取。请按提示改正该行。";
    case Kind::kJoin:
      return "该元素无法接续前一元素计算。请检查其起点、半径与方位角。";
    case Kind::kLandXml:
      return "不是可读取的 LandXML 文件，或其中的线形或纵断面无法计算。";
    case Kind::kAlignment:
      return "未选定线形或纵断面，或所指名的线形、纵断面不在文件中。";
    case Kind::kWrongOption:
      return "元素文件只有一条线形，不能按名称选择线形。";
    case Kind::kHeightFile:
      return "纵断面或横坡文件中有一行无法读取。请按提示改正该行。";
  }
  return "文件无法读取。";
}

std::string PlaceText(const model::LoadError& error) {
  if (error.line > 0) {
    return "第 " + std::to_string(error.line) + " 行";
  }
  if (error.element) {
    return "元素 " + std::to_string(*error.element + 1);
  }
  return {};
}

std::string LoadErrorMessage(const model::LoadError& error) {
  std::string text = "文件：" + text::Printable(error.file) + "\n";
  if (const std::string place = PlaceText(error); !place.empty()) {
    text += "位置：" + place + "\n";
  }
  text += "原因：";
  text += KindSentence(error.kind);
  text += "\n\n";
  text += error.Text();
  return text;
}

}  // namespace velmora::roadwindow
