// The program's objects of static storage duration (all but the application
// object, which is in the entry point's file), built in the order that
// options/GlobalOrder.h gives before the program starts and destroyed in
// the reverse order after it ends. The class registry is made on first use.
#include <windows.h>

#include "app/DialogEx.h"
#include "app/MakerAddresses.h"
#include "app/keyboard/ScreenKeyboard.h"
#include "controls/Label.h"
#include "engine/DormantData.h"
#include "engine/EquationList.h"
#include "options/GeometryValues.h"
#include "options/GlobalOrder.h"
#include "options/LogObjects.h"
#include "options/OptionHolders.h"
#include "options/PreferenceStore.h"

QVLocalization1 theLocalization OVELIN_BUILT_IN_STEP(kBeforeApplication);

// A plain number: set with the other files' objects (only objects of a class
// take a step), which nothing notices, since nothing uses it.
const UINT WMU_RESIZESUPPORT = ::RegisterWindowMessageA("WMU_RESIZESUPPORT");

namespace {
constexpr const char* kMakerSite = "http://www.marvolk.com";
}

const CString NewsletterPageUrl OVELIN_BUILT_IN_STEP(kBeforeApplication) =
    CString(kMakerSite) + "/newsletter.php";
const CString TutorialsPageUrl OVELIN_BUILT_IN_STEP(kBeforeApplication) =
    CString(kMakerSite) + "/emailtutes.php";
const CString NewsletterMiniPageUrl OVELIN_BUILT_IN_STEP(kBeforeApplication) =
    CString(kMakerSite) + "/newslettermini.php";
const CString TutorialsMiniPageUrl OVELIN_BUILT_IN_STEP(kBeforeApplication) =
    CString(kMakerSite) + "/emailtutesmini.php";
const CString VersionsScriptUrl OVELIN_BUILT_IN_STEP(kBeforeApplication) =
    CString(kMakerSite) + "/QVVersions.php";

const CString ProductNames[kProductNameCount] OVELIN_BUILT_IN_STEP(kBeforeApplication) = {
    "Brelin", "Ovelin",   "Feldric", "Dusset",  "Corvane", "Galvoy",
    "Harrowen", "Kestmor", "Istraby", "Jorrel", "Beta"};

// The stored classes, named here so that the linker keeps every one of them
// in the program and an archive can make each by its class name.
namespace {
const CClassRegistration kStoredClasses[] OVELIN_BUILT_IN_STEP(kAfterApplication) = {
    CClassRegistration(RUNTIME_CLASS(QVConstantRange)),
    CClassRegistration(RUNTIME_CLASS(QVConstantRanges)),
    CClassRegistration(RUNTIME_CLASS(QVVariableSubstitutions)),
    CClassRegistration(RUNTIME_CLASS(QVEquationList)),
    CClassRegistration(RUNTIME_CLASS(QVOptionQVLogPen)),
    CClassRegistration(RUNTIME_CLASS(QVOptionQVLogBrush)),
    CClassRegistration(RUNTIME_CLASS(QVOptionQVLogFont)),
    CClassRegistration(RUNTIME_CLASS(QVLogPen)),
    CClassRegistration(RUNTIME_CLASS(QVLogBrush)),
    CClassRegistration(RUNTIME_CLASS(QVLogFont)),
    CClassRegistration(RUNTIME_CLASS(QVPoint)),
    CClassRegistration(RUNTIME_CLASS(QV3Point)),
    CClassRegistration(RUNTIME_CLASS(QV3Vector)),
    CClassRegistration(RUNTIME_CLASS(QVVector)),
};
}  // namespace

// Destroyed before the objects above; its destructor lets go of any modifier
// key it still holds down.
QVScreenKeyboard theScreenKeyboard OVELIN_BUILT_IN_STEP(kAfterApplication);

// The main frame's helper for layered windows.
CLayeredWindowHelper theLayeredWindowHelper OVELIN_BUILT_IN_STEP(kAfterApplication);

// The preference store is defined with the option classes, built last and
// destroyed first; named here so that the linker keeps its file in the
// program, which uses it nowhere else.
[[gnu::used]] static const QVPreferenceStore* const kPreferenceStore = &thePreferenceStore;
