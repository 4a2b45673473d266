#include "word/docx/run_format.h"

#include <cmath>
#include <cstdlib>

#include "word/docx/docx_error.h"
#include "word/docx/xml_util.h"

namespace docx {
namespace {

// The children of w:rPr in schema order (CT_ParaRPr: revision marks, then EG_RPrBase).
#define DOCX_RPR_ORDER                                                                            \
  {                                                                                               \
    "w:ins", "w:del", "w:moveFrom", "w:moveTo", "w:rStyle", "w:rFonts", "w:b", "w:bCs", "w:i",    \
        "w:iCs", "w:caps", "w:smallCaps", "w:strike", "w:dstrike", "w:outline", "w:shadow",       \
        "w:emboss", "w:imprint", "w:noProof", "w:snapToGrid", "w:vanish", "w:webHidden",          \
        "w:color", "w:spacing", "w:w", "w:kern", "w:position", "w:sz", "w:szCs", "w:highlight",   \
        "w:u", "w:effect", "w:bdr", "w:shd", "w:fitText", "w:vertAlign", "w:rtl", "w:cs", "w:em", \
        "w:lang", "w:eastAsianLayout", "w:specVanish", "w:oMath", "w:rPrChange"                   \
  }

void setVal(pugi::xml_node node, const char* value) {
  pugi::xml_attribute a = node.attribute("w:val");
  if (!a) a = node.append_attribute("w:val");
  a = value;
}

}  // namespace

void validate(const RunFormat& format) {
  if (format.sizePt &&
      !(std::isfinite(*format.sizePt) && *format.sizePt >= 1.0 && *format.sizePt <= 1638.0)) {
    throw DocxError(ErrorCode::kInvalidArgument, "Schriftgröße außerhalb des zulässigen Bereichs");
  }
  if (format.fontName && format.fontName->empty()) {
    throw DocxError(ErrorCode::kInvalidArgument, "leerer Schriftname");
  }
}

pugi::xml_node runProperties(pugi::xml_node run) {
  if (pugi::xml_node rPr = run.child("w:rPr")) return rPr;
  return run.prepend_child("w:rPr");
}

void applyFormat(pugi::xml_node rPr, const RunFormat& format) {
  if (format.fontName) {
    pugi::xml_node fonts = orderedChild(rPr, "w:rFonts", DOCX_RPR_ORDER);
    // Theme fonts take precedence over named fonts, so they have to go.
    for (const char* theme : {"w:asciiTheme", "w:hAnsiTheme", "w:cstheme", "w:eastAsiaTheme"}) {
      fonts.remove_attribute(theme);
    }
    for (const char* slot : {"w:ascii", "w:hAnsi", "w:cs"}) {
      pugi::xml_attribute a = fonts.attribute(slot);
      if (!a) a = fonts.append_attribute(slot);
      a = format.fontName->c_str();
    }
  }
  if (format.bold) {
    for (const char* name : {"w:b", "w:bCs"}) {
      pugi::xml_node b = orderedChild(rPr, name, DOCX_RPR_ORDER);
      b.remove_attribute("w:val");
      if (!*format.bold) b.append_attribute("w:val") = "0";
    }
  }
  if (format.sizePt) {
    const std::string halfPoints = std::to_string(std::lround(*format.sizePt * 2.0));
    setVal(orderedChild(rPr, "w:sz", DOCX_RPR_ORDER), halfPoints.c_str());
    setVal(orderedChild(rPr, "w:szCs", DOCX_RPR_ORDER), halfPoints.c_str());
  }
}

RunFormat readFormat(pugi::xml_node rPr) {
  RunFormat format;
  if (pugi::xml_node b = rPr.child("w:b")) format.bold = onOff(b.attribute("w:val"), true);
  if (pugi::xml_node f = rPr.child("w:rFonts"); f && f.attribute("w:ascii")) {
    format.fontName = f.attribute("w:ascii").value();
  }
  if (pugi::xml_node sz = rPr.child("w:sz")) {
    format.sizePt = std::atof(sz.attribute("w:val").value()) / 2.0;
  }
  return format;
}

// The same order is needed where a language is set on run properties.
void setLanguage(pugi::xml_node rPr, const char* tag) {
  pugi::xml_node lang = orderedChild(rPr, "w:lang", DOCX_RPR_ORDER);
  setVal(lang, tag);
}

}  // namespace docx
