// The program's objects of static storage duration, defined together so that
// they are built in this order before the program starts and destroyed in the
// reverse order after it ends. Nothing here depends on a global of another
// file: the class registry is made on first use, and the application object
// (in the entry point's file) and the preference store (kept with the option
// classes) use none of these.
#include <windows.h>

#include "app/DialogEx.h"
#include "app/MakerAddresses.h"
#include "app/ScreenKeyboard.h"
#include "controls/Label.h"
#include "engine/DormantData.h"
#include "engine/EquationList.h"
#include "options/GeometryValues.h"
#include "options/LogObjects.h"
#include "options/OptionHolders.h"

QVLocalization1 theLocalization;

const UINT WMU_RESIZESUPPORT = ::RegisterWindowMessageA("WMU_RESIZESUPPORT");

namespace {
constexpr const char* kMakerSite = "http://www.marvolk.com";
}

const CString NewsletterPageUrl = CString(kMakerSite) + "/newsletter.php";
const CString TutorialsPageUrl = CString(kMakerSite) + "/emailtutes.php";
const CString NewsletterMiniPageUrl = CString(kMakerSite) + "/newslettermini.php";
const CString TutorialsMiniPageUrl = CString(kMakerSite) + "/emailtutesmini.php";
const CString VersionsScriptUrl = CString(kMakerSite) + "/QVVersions.php";

const CString ProductNames[kProductNameCount] = {"Brelin",   "Ovelin",  "Feldric", "Dusset",
                                                 "Corvane",  "Galvoy",  "Harrowen", "Kestmor",
                                                 "Istraby",  "Jorrel",  "Beta"};

// The stored classes, named here so that the linker keeps every one of them
// in the program and an archive can make each by its class name.
namespace {
const CClassRegistration kStoredClasses[] = {
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
QVScreenKeyboard theScreenKeyboard;

// The main frame's helper for layered windows.
CLayeredWindowHelper theLayeredWindowHelper;
