#include "word/docx/settings_editor.h"

#include "word/docx/docx_error.h"
#include "word/docx/opc_names.h"
#include "word/docx/protection.h"
#include "word/docx/run_format.h"
#include "word/docx/xml_util.h"

namespace docx {
namespace {

// The children of w:settings in schema order (CT_Settings).
#define DOCX_SETTINGS_ORDER                                                                        \
  {                                                                                                \
    "w:writeProtection", "w:view", "w:zoom", "w:removePersonalInformation", "w:removeDateAndTime", \
        "w:doNotDisplayPageBoundaries", "w:displayBackgroundShape", "w:printPostScriptOverText",   \
        "w:printFractionalCharacterWidth", "w:printFormsData", "w:embedTrueTypeFonts",             \
        "w:embedSystemFonts", "w:saveSubsetFonts", "w:saveFormsData", "w:mirrorMargins",           \
        "w:alignBordersAndEdges", "w:bordersDoNotSurroundHeader", "w:bordersDoNotSurroundFooter",  \
        "w:gutterAtTop", "w:hideSpellingErrors", "w:hideGrammaticalErrors",                        \
        "w:activeWritingStyle", "w:proofState", "w:formsDesign", "w:attachedTemplate",             \
        "w:linkStyles", "w:stylePaneFormatFilter", "w:stylePaneSortMethod", "w:documentType",      \
        "w:mailMerge", "w:revisionView", "w:trackRevisions", "w:doNotTrackMoves",                  \
        "w:doNotTrackFormatting", "w:documentProtection", "w:autoFormatOverride",                  \
        "w:styleLockTheme", "w:styleLockQFSet", "w:defaultTabStop", "w:autoHyphenation",           \
        "w:consecutiveHyphenLimit", "w:hyphenationZone", "w:doNotHyphenateCaps", "w:showEnvelope", \
        "w:summaryLength", "w:clickAndTypeStyle", "w:defaultTableStyle", "w:evenAndOddHeaders",    \
        "w:bookFoldRevPrinting", "w:bookFoldPrinting", "w:bookFoldPrintingSheets",                 \
        "w:drawingGridHorizontalSpacing", "w:drawingGridVerticalSpacing",                          \
        "w:displayHorizontalDrawingGridEvery", "w:displayVerticalDrawingGridEvery",                \
        "w:doNotUseMarginsForDrawingGridOrigin", "w:drawingGridHorizontalOrigin",                  \
        "w:drawingGridVerticalOrigin", "w:doNotShadeFormData", "w:noPunctuationKerning",           \
        "w:characterSpacingControl", "w:printTwoOnOne", "w:strictFirstAndLastChars",               \
        "w:noLineBreaksAfter", "w:noLineBreaksBefore", "w:savePreviewPicture",                     \
        "w:doNotValidateAgainstSchema", "w:saveInvalidXml", "w:ignoreMixedContent",                \
        "w:alwaysShowPlaceholderText", "w:doNotDemarcateInvalidXml", "w:saveXmlDataOnly",          \
        "w:useXSLTWhenSaving", "w:saveThroughXslt", "w:showXMLTags",                               \
        "w:alwaysMergeEmptyNamespace", "w:updateFields", "w:hdrShapeDefaults", "w:footnotePr",     \
        "w:endnotePr", "w:compat", "w:docVars", "w:rsids", "m:mathPr", "w:attachedSchema",         \
        "w:themeFontLang", "w:clrSchemeMapping", "w:doNotIncludeSubdocsInStats",                   \
        "w:doNotAutoCompressPictures", "w:forceUpgrade", "w:captions", "w:readModeInkLockDown",    \
        "w:smartTagType", "sl:schemaLibrary", "w:shapeDefaults", "w:doNotEmbedSmartTags",          \
        "w:decimalSymbol", "w:listSeparator"                                                       \
  }

void setAttr(pugi::xml_node n, const char* name, const char* value) {
  pugi::xml_attribute a = n.attribute(name);
  if (!a) a = n.append_attribute(name);
  a = value;
}

// Answers whether anything changed, so that an untouched part keeps its original bytes.
bool setLangIn(pugi::xml_node node, const char* tag) {
  bool changed = false;
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element) continue;
    if (is(c, "w:lang")) {
      if (std::string_view(c.attribute("w:val").value()) != tag) {
        setAttr(c, "w:val", tag);
        changed = true;
      }
    } else {
      changed = setLangIn(c, tag) || changed;
    }
  }
  return changed;
}

}  // namespace

SettingsEditor::SettingsEditor(Package& package, std::string mainPart)
    : package_(package), main_(std::move(mainPart)) {}

std::string SettingsEditor::settingsPart() {
  const auto found = package_.related(main_, "/settings");
  if (!found.empty() && package_.has(found.front())) return found.front();
  const std::string part = "word/settings.xml";
  package_.addXmlPart(part, opc::kTypeSettings,
                      std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                                  "<w:settings xmlns:w=\"") +
                          kNsW + "\"/>");
  package_.addRelationship(main_, opc::kRelSettings, part);
  return part;
}

std::string SettingsEditor::stylesPart() {
  const auto found = package_.related(main_, "/styles");
  if (!found.empty() && package_.has(found.front())) return found.front();
  const std::string part = "word/styles.xml";
  package_.addXmlPart(part, opc::kTypeStyles,
                      std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                                  "<w:styles xmlns:w=\"") +
                          kNsW + "\"/>");
  package_.addRelationship(main_, opc::kRelStyles, part);
  return part;
}

void SettingsEditor::protectForms(std::string_view password, std::uint32_t spinCount) {
  if (password.empty()) throw DocxError(ErrorCode::kInvalidArgument, "leeres Kennwort");
  if (spinCount == 0 || spinCount > 10'000'000) {
    throw DocxError(ErrorCode::kInvalidArgument,
                    "Anzahl der Hash-Runden außerhalb des zulässigen Bereichs");
  }
  const PasswordHash hash = makePasswordHash(password, spinCount);
  const std::string part = settingsPart();
  pugi::xml_node settings = package_.xml(part).document_element();
  pugi::xml_node protection = settings.child("w:documentProtection");
  if (protection) settings.remove_child(protection);
  protection = orderedChild(settings, "w:documentProtection", DOCX_SETTINGS_ORDER);
  protection.append_attribute("w:edit") = "forms";
  protection.append_attribute("w:enforcement") = "1";
  protection.append_attribute("w:algorithmName") = hash.algorithm.c_str();
  protection.append_attribute("w:hashValue") = base64Encode(hash.hash).c_str();
  protection.append_attribute("w:saltValue") = base64Encode(hash.salt).c_str();
  protection.append_attribute("w:spinCount") = hash.spinCount;
  package_.markModified(part);
}

int SettingsEditor::protectionType() {
  const auto found = package_.related(main_, "/settings");
  if (found.empty() || !package_.has(found.front())) return -1;
  pugi::xml_node protection =
      package_.xml(found.front()).document_element().child("w:documentProtection");
  if (!protection || !onOff(protection.attribute("w:enforcement"), false)) return -1;
  const std::string_view edit = protection.attribute("w:edit").value();
  if (edit == "forms") return 2;
  if (edit == "readOnly") return 3;
  if (edit == "comments") return 1;
  if (edit == "trackedChanges") return 0;
  return -1;
}

void SettingsEditor::setPrintLayoutView() {
  const std::string part = settingsPart();
  pugi::xml_node settings = package_.xml(part).document_element();
  setAttr(orderedChild(settings, "w:view", DOCX_SETTINGS_ORDER), "w:val", "print");
  package_.markModified(part);
}

void SettingsEditor::setLanguage(const char* tag, const std::vector<std::string>& storyParts) {
  // A part is walked once per template: its unchanged bytes keep their languages.
  const std::string fact = std::string("language ") + tag;
  const std::string part = stylesPart();
  if (!package_.originalHas(part, fact)) {
    pugi::xml_node styles = package_.xml(part).document_element();
    pugi::xml_node defaults = styles.child("w:docDefaults");
    if (!defaults) defaults = styles.prepend_child("w:docDefaults");
    pugi::xml_node rPrDefault = defaults.child("w:rPrDefault");
    if (!rPrDefault) rPrDefault = defaults.prepend_child("w:rPrDefault");
    pugi::xml_node rPr = rPrDefault.child("w:rPr");
    if (!rPr) rPr = rPrDefault.append_child("w:rPr");
    const std::string before = rPr.child("w:lang").attribute("w:val").as_string();
    docx::setLanguage(rPr, tag);
    const bool defaultChanged = before != tag;
    if (setLangIn(styles, tag) || defaultChanged)
      package_.markModified(part);
    else
      package_.noteOriginal(part, fact);
  }
  for (const std::string& story : storyParts) {
    if (package_.originalHas(story, fact)) continue;
    if (setLangIn(package_.xml(story).document_element(), tag))
      package_.markModified(story);
    else
      package_.noteOriginal(story, fact);
  }
}

}  // namespace docx
