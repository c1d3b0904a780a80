#include "app/MakerAddresses.h"

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
