#pragma once
// The names the Open Packaging Conventions and WordprocessingML give to parts, content types and
// relationships, as the engine writes and looks for them: one place, so that a type written in
// one file is the type looked up in another.

namespace docx::opc {

inline constexpr const char* kContentTypesPart = "[Content_Types].xml";
// The namespace of a relationship part's root.
inline constexpr const char* kRelationshipsNs =
    "http://schemas.openxmlformats.org/package/2006/relationships";

// Content types.
inline constexpr const char* kTypeRelationships =
    "application/vnd.openxmlformats-package.relationships+xml";
inline constexpr const char* kTypeTemplate =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml";
inline constexpr const char* kTypeDocument =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
inline constexpr const char* kTypeMacroTemplate =
    "application/vnd.ms-word.template.macroEnabledTemplate.main+xml";
inline constexpr const char* kTypeMacroDocument =
    "application/vnd.ms-word.document.macroEnabled.main+xml";
inline constexpr const char* kTypeSettings =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml";
inline constexpr const char* kTypeStyles =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml";

// Relationship types, and the last segment by which Package::related finds them (transitional
// and strict documents share it).
inline constexpr const char* kRelSettings =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings";
inline constexpr const char* kRelStyles =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
inline constexpr const char* kRelMainSuffix = "/officeDocument";
inline constexpr const char* kRelHeaderSuffix = "/header";
inline constexpr const char* kRelFooterSuffix = "/footer";

}  // namespace docx::opc
