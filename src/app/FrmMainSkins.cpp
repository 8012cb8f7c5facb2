// Skins: the skin list and menu, applying the chosen skin, and the saved choice
// in Config.inf (beside the program, or the user's own copy when the program's
// folder cannot be written).
#include <exception>
#include <string>

#include "app/FrmMain.h"
#include "settings/Addresses.h"

namespace purgix::app {

namespace {
constexpr const char* kConfigSection = "CONFIGSKIN";
constexpr const char* kConfigKey = "SKIN";
constexpr const char* kSkinSection = "SKIN";
}  // namespace

// A menu caption shows "&" as an access key: a file name's own is doubled.
std::string FrmMain::MenuCaption(std::string_view fileName) {
    std::string caption;
    for (char c : fileName) {
        if (c == '&') caption += '&';
        caption += c;
    }
    return caption;
}

std::string FrmMain::InFolder(const std::string& folder, const std::string& name) {
    // A drive's root already ends in a backslash.
    return !folder.empty() && folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

std::string FrmMain::UserConfigPath(bool create) {
    const std::string folder = platform_.files.UserDataFolder(create);
    return folder.empty() ? std::string() : InFolder(folder, "Config.inf");
}

// The user's own copy, once it exists, is the one that counts.
std::string FrmMain::ConfigPathToRead() {
    const std::string user = UserConfigPath(false);
    return !user.empty() && platform_.files.FileExists(user) ? user : InFolder(programFolder_, "Config.inf");
}

void FrmMain::WireSkins() {
    File1.Click = [this] { File1_Click(); };
    mSSkin[0]->Click = [this] { mSSkin_Click(0); };
    mDloadSkin->Click = [this] { mDloadSkin_Click(); };
}

// The last steps of start-up: the skin list, the menu and the saved skin. A
// missing Skin folder throws out of SetPath and so ends start-up there.
void FrmMain::LoadSkins() {
    skinsReached_ = true;
    File1.SetPath(InFolder(programFolder_, "Skin"));
    const std::string saved = registry_.ReadProfileString(kConfigSection, kConfigKey, ConfigPathToRead());
    for (int i = 0; i < File1.ListCount(); ++i) {
        if (i != 0) {
            ui::MenuItem& added = mSkin->Add(("mSSkin(" + std::to_string(i) + ")").c_str(), "");
            added.Click = [this, i] { mSSkin_Click(i); };
            mSSkin.push_back(&added);
        }
        mSSkin[static_cast<std::size_t>(i)]->SetCaption(MenuCaption(File1.List(i)));
        if (File1.List(i) == saved) File1.SetListIndex(i);
    }
}

void FrmMain::mSSkin_Click(int index) {
    try {
        File1.SetListIndex(index);
    } catch (const std::exception& e) {
        // The placeholder item with no skin behind it: nothing to choose.
        platform_.diagnostics.Trace("skin menu", e.what());
    }
}

void FrmMain::File1_Click() {
    try {
        ApplySkin();
    } catch (const std::exception& e) {
        // A bad skin stops where it failed; what was done before stays.
        platform_.diagnostics.Trace("skin", e.what());
    }
}

void FrmMain::ApplySkin() {
    PicGraph.Cls();
    graphX_ = 0;
    graphCleared_ = false;
    levels_.clear();
    auto skinFile = [this] { return InFolder(File1.Path(), File1.List(File1.ListIndex())); };
    // A skin is a download: its .ini is read only from inside the skin folder.
    auto read = [&](const char* key) { return registry_.ReadProfileString(kSkinSection, key, skinFile(), File1.Path()); };
    auto color = [&](const char* key) { return skins::ColorNumber(read(key)); };
    windowColor_ = color("color_Obj3D");
    chartColor_ = color("color_Back");
    columnColor_ = color("color_Column");
    form.SetBackColor(windowColor_);
    PicChart.SetBackColor(chartColor_);
    ShpColumn.SetBackColor(columnColor_);
    const std::string bg = read("Bg");
    form.SetPicture(platform_.pictureFiles.LoadPicture(File1.Path(), bg.substr(0, bg.find('\0'))));
}

void FrmMain::mDloadSkin_Click() {
    platform::RunQuietly(platform_, "skin download page", std::string("explorer.exe ") + settings::kSkinDownloadPage, platform::kSwHide);
}

// Shutdown's third step. A program folder the user cannot write (Program
// Files) sends the choice to the user's own copy, which start-up then reads.
void FrmMain::SaveSkin() {
    std::string value = File1.ListIndex() >= 0 ? File1.List(File1.ListIndex()) : std::string();
    // The profile functions trim blanks around a value and take off quotes around it: a
    // name with blanks at either end goes in quotes, and comes back whole.
    if (!value.empty() && (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' || value.back() == '\t'))
        value = '"' + value + '"';
    const std::string user = UserConfigPath(false);
    if (!user.empty() && platform_.files.FileExists(user)) {
        if (!platform_.profiles.WriteProfile(kConfigSection, kConfigKey, value, user))
            platform_.diagnostics.Trace("skin choice", "could not be written to " + user);
        return;
    }
    const std::string beside = InFolder(programFolder_, "Config.inf");
    if (platform_.profiles.WriteProfile(kConfigSection, kConfigKey, value, beside)) return;
    const std::string created = UserConfigPath(true);
    if (created.empty() || !platform_.profiles.WriteProfile(kConfigSection, kConfigKey, value, created))
        platform_.diagnostics.Trace("skin choice", "could not be written to " + beside + " nor to the user's own copy");
}

}  // namespace purgix::app
