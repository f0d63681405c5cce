#include "DialogTestSupport.h"

#include "DescriptionDialog.h"
#include "DictionaryEditDialog.h"
#include "Hyphenation.h"
#include "StyleNetwork.h"

#include <algorithm>
#include <fstream>
#include <set>

namespace wortex::test {
namespace {

using win32::DialogModel;
using Words = std::vector<std::string>;

class EditDlg : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        ForgetDictionaryEditPlaces();
        h = dictionary("haupt.wxd", 'D', {"auto", "haus", "heim", "wagen"});
    }
    void run(std::function<void(DialogModel&)> script) {
        ui.dialogScripts[kDictionaryEditTemplate] = std::move(script);
        DictionaryEditDialog(0, [this](unsigned t) { topics.push_back(t); });
    }
    static Words page(DialogModel& d) {
        Words w;
        for (int i = 0; i < d.itemCount(451); ++i)
            w.push_back(d.itemText(451, i));
        return w;
    }
    static void selectWord(DialogModel& d, const std::string& w) {
        for (int i = 0; i < d.itemCount(451); ++i)
            if (d.itemText(451, i) == w) return d.select(451, i);
        ADD_FAILURE() << w << " not on the page";
    }
    bool has(const char* w) { return FindWordInDictionaries(h, w, 0, true) == h; }
    std::string textFile(const std::string& name, const std::string& text) {
        std::ofstream(cwd.file(name), std::ios::binary) << text;
        return cwd.file(name);
    }

    DBHandle h = 0;
    std::vector<unsigned> topics;
};

// A dictionary opened read only (held for writing by another program) shows its words and descriptions,
// and offers none of the changes, which would do nothing there.
TEST_F(EditDlg, ReadOnlyDictionaryOffersNoChange) {
    CloseDictionary(h);
    h = OpenDictionary(true, cwd.file("haupt.wxd"));
    ASSERT_EQ(IsDictionaryReadOnly(h), 1);
    const auto before = readAll(cwd.file("haupt.wxd"));
    run([&](DialogModel& d) {
        EXPECT_EQ(page(d), (Words{"auto", "haus", "heim", "wagen"}));
        selectWord(d, "heim");
        for (int id : {451, 452, 453, 460})
            EXPECT_TRUE(d.enabled(id)) << id;
        for (int id : {454, 455, 456, 457, 458, 459})
            EXPECT_FALSE(d.enabled(id)) << id;
        d.click(102);
    });
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(readAll(cwd.file("haupt.wxd")), before);
}

TEST_F(EditDlg, EditModesLetOnlyTheirButtonWork) {
    run([&](DialogModel& d) {
        EXPECT_EQ(page(d), (Words{"auto", "haus", "heim", "wagen"}));
        EXPECT_EQ(d.text(461), "\xdf / ss nicht ersetzen");
        d.click(452);
        EXPECT_EQ(d.text(462), "");
        EXPECT_EQ(d.focus(), 462);
        for (int id : {453, 454, 455, 456, 457, 458, 459})
            EXPECT_FALSE(d.enabled(id)) << id;
        EXPECT_TRUE(d.enabled(452));
        d.type(462, "we");
        d.enter();
        EXPECT_EQ(d.text(462), "wagen");
        EXPECT_TRUE(d.enabled(457));
        // Correcting: another button beeps and sends the focus back.
        selectWord(d, "heim");
        d.click(454);
        EXPECT_EQ(d.text(462), "heim");
        d.command(456, win32::BN_CLICKED);
        EXPECT_EQ(ui.beeps.size(), 1u);
        EXPECT_EQ(d.focus(), 462);
        d.type(462, "Heimat");
        d.enter();
        EXPECT_EQ(d.text(462), "Heimat");
        // Escape ends an edit mode without change, and does not close the dialog.
        d.click(457);
        d.type(462, "zebra");
        d.escape();
        EXPECT_FALSE(d.ended());
        d.click(102);
    });
    EXPECT_TRUE(has("Heimat"));
    EXPECT_FALSE(has("heim"));
    EXPECT_FALSE(has("zebra"));
}

TEST_F(EditDlg, InsertAndCorrectFailuresAndTheFlagBox) {
    run([&](DialogModel& d) {
        d.click(457);
        d.type(462, "haus");
        d.enter();
        EXPECT_EQ(d.focus(), 462) << "the edit mode stays for another try";
        d.escape();
        selectWord(d, "auto");
        d.click(454);
        d.type(462, "wagen");
        d.enter();
        d.escape();
        d.click(461);
        d.click(457);
        d.type(462, "stra\xdf"
                    "e");
        d.enter();
        EXPECT_TRUE(d.checked(461)) << "the new entry carries the flag";
        selectWord(d, "haus");
        EXPECT_FALSE(d.checked(461));
        d.click(455);
        EXPECT_EQ(d.text(462), "Haus");
        EXPECT_EQ(d.text(30006), "5");
        d.click(102);
    });
    EXPECT_EQ(texts(), (Words{"Wort konnte nicht eingef\xfcgt werden.|Wortex",
                              "Wort konnte nicht ersetzt werden.|Wortex"}));
    int mark = 0;
    ASSERT_EQ(FindWordInDictionaries(h,
                                     "stra\xdf"
                                     "e",
                                     0, false, nullptr, {nullptr, nullptr, &mark}),
              h);
    EXPECT_EQ(mark, 1);
    EXPECT_TRUE(has("Haus"));
}

TEST_F(EditDlg, DescriptionButtonTextAndEnabling) {
    ASSERT_NE(SetMeaningDescription(h, 1, "heim", "Zuhause"), 0u);
    DBHandle empty = dictionary("leer.wxd", 'D');
    DBHandle user = dictionary("nutzer.wxu", 'U', {"abc"});
    run([&](DialogModel& d) {
        selectWord(d, "heim");
        EXPECT_EQ(d.text(453), "* &Beschreibung/Stil");
        selectWord(d, "haus");
        EXPECT_EQ(d.text(453), "  &Beschreibung/Stil");
        ui.dialogScripts[kDescriptionDialog] = [](DialogModel& x) {
            EXPECT_EQ(x.text(411), "haus");
            x.type(408, "Geb\xe4ude");
            x.click(410);
        };
        d.click(453);
        EXPECT_EQ(d.text(453), "* &Beschreibung/Stil");
        d.select(30001, 1);
        EXPECT_TRUE(page(d).empty());
        for (int id : {451, 452, 460, 453, 454, 455, 456})
            EXPECT_FALSE(d.enabled(id)) << id;
        for (int id : {457, 458, 459})
            EXPECT_TRUE(d.enabled(id)) << id;
        d.select(30001, 2);
        EXPECT_EQ(page(d), Words{"abc"});
        EXPECT_TRUE(d.enabled(452));
        for (int id : {453, 454, 455, 456, 457, 458, 459})
            EXPECT_FALSE(d.enabled(id)) << id;
        EXPECT_FALSE(d.visible(461));
        d.click(301);
        d.click(102);
    });
    EXPECT_EQ(topics, std::vector<unsigned>{6});
    (void)empty;
    (void)user;
}

TEST_F(EditDlg, HyphenationShownOnThePage) {
    ASSERT_EQ(AddDictionaryWord(h, "fenster", false, false, 0, 0), 1);
    char expected[64];
    ASSERT_EQ(HyphenateWord('D', "fenster", nullptr, expected), 1);
    run([&](DialogModel& d) {
        EXPECT_EQ(page(d)[1], "fenster");
        d.click(460);
        EXPECT_EQ(page(d)[1], expected);
        EXPECT_EQ(page(d)[0], "auto") << "too short for a point";
        d.select(451, 1);
        EXPECT_EQ(d.text(462), "fenster");
        d.click(456);
        EXPECT_FALSE(has("fenster"));
        d.click(460);
        EXPECT_EQ(page(d)[1], "haus");
        d.click(102);
    });
}

TEST_F(EditDlg, TextImportThroughItsFileDialog) {
    std::string file = textFile("liste.txt", "Der Garten und das Feld.\nDie Wiese.\n");
    std::set<std::string> captions;
    ui.fileAnswers = {"", file, cwd.file("fehlt.txt")};
    run([&](DialogModel& d) {
        std::string before = d.caption;
        d.click(458); // cancelled
        EXPECT_EQ(d.text(30006), "4");
        d.changed = [&] { captions.insert(d.caption); };
        d.click(458);
        d.changed = nullptr;
        EXPECT_EQ(d.caption, before);
        EXPECT_EQ(page(d).front(), "auto") << "back on the first page";
        d.click(458);
        d.click(102);
    });
    ASSERT_EQ(ui.fileDialogs.size(), 3u);
    const auto& r = ui.fileDialogs[0];
    EXPECT_EQ(r.title, "Einf\xfcgen aus Textdatei");
    EXPECT_EQ(r.filter, "ANSI-Text (*.TXT)|*.TXT|DOS-Text (*.ASC)|*.ASC|");
    EXPECT_EQ(r.fileName, "*.TXT");
    EXPECT_EQ(r.defaultExtension, "TXT");
    EXPECT_TRUE(r.mustExist);
    EXPECT_TRUE(captions.count("Wortex Wortimport im Gange...  <Esc> zum Abbruch"));
    // The wait cursor during each run that got a file, the arrow after it; the cursor shown while open.
    auto wait = std::find(ui.calls.begin(), ui.calls.end(), "SetCursor 32514");
    ASSERT_NE(wait, ui.calls.end());
    EXPECT_NE(std::find(wait, ui.calls.end(), "SetCursor 32512"), ui.calls.end());
    EXPECT_EQ(ui.cursorCount, 0);
    // Each word as it is written, at a sentence's start too.
    for (const char* w : {"Der", "Garten", "und", "das", "Feld", "Die", "Wiese"})
        EXPECT_TRUE(has(w)) << w;
    EXPECT_EQ(texts(), Words{"Textdatei konnte nicht ge\xf6"
                             "ffnet werden.|Wortex"});
}

TEST_F(EditDlg, TextFileDialogKeepsItsOwnFolder) {
    std::filesystem::create_directory(cwd.file("texte"));
    std::ofstream(cwd.file("texte/a.txt")) << "x";
    ui.fileAnswers = {"", cwd.file("texte/a.txt"), ""};
    std::string chosen;
    EXPECT_FALSE(ChooseTextFile(0, 530, chosen));
    EXPECT_TRUE(ChooseTextFile(0, 530, chosen));
    EXPECT_EQ(chosen, cwd.file("texte/a.txt"));
    EXPECT_FALSE(ChooseTextFile(0, 530, chosen));
    ASSERT_EQ(ui.fileDialogs.size(), 3u);
    EXPECT_EQ(std::filesystem::path(ui.fileDialogs[0].initialDirectory), std::filesystem::current_path());
    EXPECT_EQ(std::filesystem::path(ui.fileDialogs[1].initialDirectory), std::filesystem::current_path());
    EXPECT_EQ(std::filesystem::canonical(ui.fileDialogs[2].initialDirectory),
              std::filesystem::canonical(cwd.file("texte")));
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(cwd.path())) << "not changed";
}

TEST_F(EditDlg, PostedKeyAskedAndAnswered) {
    // Enough lines for several passes of the working line.
    Words words;
    std::string lines;
    for (char a = 'a'; a <= 'e'; ++a)
        for (char b = 'a'; b <= 'h'; ++b) {
            words.push_back(std::string("wort") + a + b);
            lines += words.back() + "\n";
        }
    std::string file = textFile("viele.txt", lines);
    auto found = [&] {
        std::size_t n = 0;
        for (const auto& w : words)
            n += has(w.c_str());
        return n;
    };
    const struct {
        int answer;
        bool all;
    } cases[] = {{win32::IDNO, true}, {win32::IDYES, false}};
    for (const auto& c : cases) {
        for (const auto& w : words)
            DeleteDictionaryWord(h, w.c_str());
        ui.shown.clear();
        ui.answers = {c.answer};
        ui.fileAnswers = {file};
        run([&](DialogModel& d) {
            ASSERT_TRUE(win32::PostMessage(0, win32::WM_KEYDOWN, 'A', 0));
            d.click(458);
            d.click(102);
        });
        if (c.all)
            EXPECT_EQ(found(), words.size()) << "no word lost";
        else
            EXPECT_LT(found(), words.size());
        EXPECT_GT(found(), 0u);
        EXPECT_EQ(texts(), Words{"Wortimport abbrechen?|Wortex"});
    }
}

TEST_F(EditDlg, DictionaryImportCarriesDescriptionsAndAGroup) {
    DBHandle src = dictionary("quelle.wxd", 'D', {"fahrzeug", "karre", "wagen"});
    int setting = 0;
    ASSERT_EQ(LinkStyleWord(src, "wagen", 1, "karre", setting, false), 1);
    ASSERT_NE(SetMeaningDescription(src, 1, "fahrzeug", "rollt"), 0u);
    std::string srcName = GetDictionaryFileName(src);
    CloseDictionary(src);
    ui.fileAnswers = {srcName, GetDictionaryFileName(h)};
    run([&](DialogModel& d) {
        d.click(459);
        d.click(459);
        d.click(102);
    });
    EXPECT_EQ(ui.fileDialogs[0].title, "Einf\xfcgen aus W\xf6rterbuch");
    EXPECT_EQ(GetLinkingMeaning(h, "karre", "wagen"), 1);
    std::uint32_t r = 0;
    StyleRecordOf(*FindDictionaryNode(h), "fahrzeug", r);
    EXPECT_EQ(MeaningDescription(*FindDictionaryNode(h), r, 1), "rollt");
    ASSERT_EQ(texts().size(), 1u) << "the dictionary itself is refused";
    EXPECT_EQ(texts()[0], "Ein W\xf6rterbuch kann nicht in sich selbst eingef\xfcgt werden.|Wortex");
}

} // namespace
} // namespace wortex::test
