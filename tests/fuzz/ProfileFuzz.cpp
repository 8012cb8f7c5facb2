// The program's start-up over hostile stores: the option values, the saved
// skin name and a skin's keys come from the input, so every conversion of a
// stored or skin text is reached. Whatever they hold, start-up and the skin
// handler end (cleanly or at a failed step) and shutdown writes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "app/FrmMain.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Fields separated by 0xFF: seven options, the saved name, then the skin's four keys.
    std::vector<std::string> fields(12);
    for (std::size_t i = 0, f = 0; i < size && f < fields.size(); ++i) data[i] == 0xFF ? void(++f) : fields[f].push_back(static_cast<char>(data[i]));
    purgix::testing::FakePlatform fake;
    const char* keys[] = {"lessc", "less", "intervalc", "interval", "precent", "minimized", "stayontop",
                          "color_obj3d", "color_back", "color_column", "bg"};
    for (std::size_t k = 0; k < 7; ++k)
        if (!fields[k].empty()) fake.store[std::string("purgix\\options\\") + keys[k]] = fields[k];
    fake.folders["C:\\Tools\\Skin"] = {"A.ini", "B.ini"};
    fake.profiles["c:\\tools\\config.inf"]["configskin"]["skin"] = fields[7];
    for (std::size_t k = 8; k < 12; ++k) fake.profiles["c:\\tools\\skin\\a.ini"]["skin"][keys[k - 1]] = fields[k];
    fake.pictureFiles["C:\\Tools\\Skin\\" + fields[11]] = std::make_shared<purgix::testing::FakePicture>("bg", 480, 210);
    purgix::app::FrmMain frm(fake.platform, fake);
    frm.Load();
    frm.mSSkin[0]->Click();
    frm.RefreshMEM();
    frm.form.Unload();
    return 0;
}
