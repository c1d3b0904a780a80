// The maker's web pages and product names: constants shared by the
// start-up dialogs, the Help menu and the update check.
#pragma once

#include "framework/String.h"

extern const CString NewsletterPageUrl;
extern const CString TutorialsPageUrl;
extern const CString NewsletterMiniPageUrl;
extern const CString TutorialsMiniPageUrl;
extern const CString VersionsScriptUrl;

constexpr int kProductNameCount = 11;
constexpr int kThisProductId = 1;
extern const CString ProductNames[kProductNameCount];

// Registered at start-up; nothing sends or handles it.
extern const UINT WMU_RESIZESUPPORT;
