#include "window/calculate.h"

#include <array>
#include <string>

#include "arith/angle.h"
#include "arith/curve.h"
#include "text/numtext.h"

namespace velmora {
namespace {

void Notify(FieldOps& form, std::string_view prompt) {
  form.ShowMessage(prompt, kNoticeTitle, kInfoBoxStyle);
}

}  // namespace

void Calculate(FieldOps& form) {
  form.SetText(Field::Textcia, "");

  std::array<std::string, kInputFields.size()> texts;
  for (std::size_t i = 0; i < kInputFields.size(); ++i) {
    texts[i] = form.Text(kInputFields[i]);
  }
  for (const std::string& text : texts) {
    if (text.empty()) {
      Notify(form, kEmptyInputPrompt);
      return;
    }
  }
  const auto& [ka, kb, ra, rb, ki, ca] = texts;
  const NumberReading start_radius = ReadNumber(ra);
  if (!start_radius.is_number) {
    form.SetText(Field::Textra, "");
    return;
  }
  const NumberReading end_radius = ReadNumber(rb);
  if (!end_radius.is_number) {
    form.SetText(Field::Textrb, "");
    return;
  }

  const double start = ValueOf(ka);
  const double end = ValueOf(kb);
  const double point = ValueOf(ki);
  const double packed_azimuth = ValueOf(ca);

  if (point < start) {
    form.SetText(Field::Textki, "");
    Notify(form, kPointBeforeStartPrompt);
    return;
  }
  if (point > end) {
    form.SetText(Field::Textki, "");
    Notify(form, kPointAfterEndPrompt);
    return;
  }
  if (packed_azimuth > kDegreesPerTurn) {
    Notify(form, kBadAnglePrompt);
    form.SetText(Field::Textca, "");
    return;
  }

  const auto start_azimuth =
      DmsToRad(packed_azimuth, [&form](const std::string& prompt, const std::string& title,
                                       int style) { form.ShowMessage(prompt, title, style); });
  if (!start_azimuth) {
    return;
  }
  const auto azimuth =
      CurveAzimuth(start, end, start_radius.value, end_radius.value, point, *start_azimuth);
  // An azimuth too large to have a value in degrees has no text either.
  const std::string text = azimuth ? RadToDms(*azimuth) : std::string();
  if (text.empty()) {
    Notify(form, kCannotCalculatePrompt);
    return;
  }
  form.SetText(Field::Textcia, text);
}

}  // namespace velmora
