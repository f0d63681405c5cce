#include "masterdata/LBild.h"
#include "GridEnter.h"
#include "StammFixture.h"
#include "TestApp.h"
#include "masterdata/ProfilStore.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>

using namespace velu;
using namespace velu::masterdata;
using forms::MessageBoxScript;
using forms::MsgResult;

namespace {

class LBildTest : public StammFixture {
public:
    void SetUp() override {
        testApp();
        StammFixture::SetUp();
    }
    static QLineEdit* Eingabe(LBild& f, const QString& name) { return f.findChild<QLineEdit*>(name); }
    static void Waehle(LBild& f, int index) {
        f.TreeView1()->setCurrentItem(f.TreeView1()->topLevelItem(index));
    }
    static int64_t Nummer(LBild& f, int index) {
        return f.TreeView1()->topLevelItem(index)->data(0, Qt::UserRole).toString().mid(1).toLongLong();
    }
};

} // namespace

TEST_F(LBildTest, AnotherProfileAfterAnEditAsksAndNoLeavesTheRecord) {
    MessageBoxScript boxen({MsgResult::No});
    LBild f(*stamm_);
    const int64_t erstes = f.AktProfil();
    EXPECT_EQ(f.Geaendert(), 0);
    EXPECT_EQ(Eingabe(f, "XtraText4_1")->text(), "Gebäude");
    Waehle(f, 1); // without an edit: no question
    Waehle(f, 0);
    EXPECT_TRUE(boxen.Shown().empty());
    Eingabe(f, "XtraText2_0")->setText("5");
    EXPECT_EQ(f.Geaendert(), -1);
    Waehle(f, 1);
    ASSERT_EQ(boxen.Shown().size(), 1u);
    EXPECT_EQ(boxen.Shown()[0].text, "Sollen die Änderungen gespeichert werden");
    EXPECT_EQ(boxen.Shown()[0].title, "Leistungsbilder");
    EXPECT_EQ(std::get<int64_t>(Feld("Leistungsbilder", erstes, "proz01")), 20000);
    EXPECT_EQ(f.Geaendert(), 0);
}

TEST_F(LBildTest, CopyAfterAnUnsavedEditSavesTheProfileShownFirst) {
    MessageBoxScript boxen({MsgResult::Yes});
    LBild f(*stamm_);
    Waehle(f, 1);
    const int64_t zweites = Nummer(f, 1);
    const std::string erstesVorher = Text("Leistungsbilder", Nummer(f, 0), "ParagBezeichnung");
    Eingabe(f, "XtraText4_1")->setText("Innen neu");
    f.findChild<QCheckBox*>("Check1")->click();
    ASSERT_TRUE(f.ActiveBar1().Click("Band1", "COPY"));
    ASSERT_EQ(boxen.Shown().size(), 1u);
    EXPECT_EQ(Text("Leistungsbilder", zweites, "ParagBezeichnung"), "Innen neu");
    EXPECT_EQ(std::get<int64_t>(Feld("Leistungsbilder", zweites, "Integrationspl")), 1);
    EXPECT_EQ(Text("Leistungsbilder", Nummer(f, 0), "ParagBezeichnung"), erstesVorher);
    // The copy is shown, named after the saved edit, and may be deleted.
    EXPECT_NE(f.AktProfil(), zweites);
    EXPECT_EQ(Eingabe(f, "XtraText4_1")->text(), "Kopie von Innen neu");
    EXPECT_TRUE(f.ActiveBar1().Enabled("Band1", "DEL"));
    EXPECT_EQ(f.TreeView1()->currentItem()->text(0), "Kopie von Innen neu");
    EXPECT_EQ(f.TreeView1()->topLevelItem(1)->text(0), "Innen neu");
}

TEST_F(LBildTest, BuiltInProfileCannotBeDeletedItsCopyCan) {
    MessageBoxScript boxen({MsgResult::Yes});
    LBild f(*stamm_);
    EXPECT_FALSE(f.ActiveBar1().Enabled("Band1", "DEL"));
    const int vorher = f.TreeView1()->topLevelItemCount();
    ASSERT_TRUE(f.ActiveBar1().Click("Band1", "COPY"));
    EXPECT_EQ(f.TreeView1()->topLevelItemCount(), vorher + 1);
    const int64_t kopie = f.AktProfil();
    Eingabe(f, "XtraText1_0")->setText("wird verworfen");
    ASSERT_TRUE(f.ActiveBar1().Click("Band1", "DEL"));
    ASSERT_EQ(boxen.Shown().size(), 1u);
    EXPECT_EQ(boxen.Shown()[0].text, "Soll dieser Datensatz wirklich gelöscht werden");
    EXPECT_EQ(boxen.Shown()[0].defaultButton, 1);
    EXPECT_EQ(Zahl("SELECT Count(*) FROM Leistungsbilder WHERE LfNr = ?", db::Params().Add(kopie)), 0);
    EXPECT_EQ(f.TreeView1()->topLevelItemCount(), vorher);
    EXPECT_EQ(f.AktProfil(), Nummer(f, 0));
}

TEST_F(LBildTest, View1991OffersItsTablesAndNoCopy) {
    MessageBoxScript boxen;
    LBild f(*stamm_);
    EXPECT_EQ(f.MenueFuer(2), "HOAITAFELN");
    EXPECT_EQ(f.MenueFuer(4), "PUNKTETAFEL");
    ASSERT_TRUE(f.ActiveBar1().Click("Band1", "OLDLB"));
    EXPECT_TRUE(f.Alt1991());
    EXPECT_TRUE(f.ActiveBar1().Checked("Band1", "OLDLB"));
    EXPECT_FALSE(f.ActiveBar1().Enabled("Band1", "COPY"));
    EXPECT_EQ(f.MenueFuer(3), "HOAITAFELNOLD");
    EXPECT_EQ(f.MenueFuer(4), "");
    ASSERT_EQ(f.TreeView1()->topLevelItemCount(), 1);
    EXPECT_EQ(Eingabe(f, "XtraText4_2")->text(), "16");
    // The 1991 band holds the § 16 table, the current one does not.
    const int64_t p16 = Tafel("16");
    EXPECT_NE(f.ActiveBar1().Tool("HOAITAFELNOLD", "KX" + QString::number(p16)), nullptr);
    EXPECT_EQ(f.ActiveBar1().Tool("HOAITAFELN", "KX" + QString::number(p16)), nullptr);
    EXPECT_TRUE(f.ActiveBar1().Checked("HOAITAFELNOLD", "KX" + QString::number(p16)));
    ASSERT_TRUE(f.ActiveBar1().Click("Band1", "OLDLB"));
    EXPECT_TRUE(f.ActiveBar1().Enabled("Band1", "COPY"));
    EXPECT_TRUE(boxen.Shown().empty());
}

TEST_F(LBildTest, ChosenTableFillsShortNameAndName) {
    stamm_->Execute("INSERT INTO TafelVerzeichnis (HoaiPara, HoaiBez, STDHOAI, HOAIALT) VALUES "
                    "('AB', 'name', 0, 0), ('12345', 'lang', 0, 0)");
    const int64_t lang = stamm_->LastInsertId();
    MessageBoxScript boxen({MsgResult::Yes});
    LBild f(*stamm_);
    const int64_t profil = f.AktProfil();
    EXPECT_EQ(f.ActiveBar1().Caption("HOAITAFELN", "KX" + QString::number(lang - 1)), "§ AB   name");
    ASSERT_TRUE(f.ActiveBar1().Click("HOAITAFELN", "KX" + QString::number(lang - 1)));
    EXPECT_EQ(Eingabe(f, "XtraText4_2")->text(), "AB ");
    EXPECT_EQ(Eingabe(f, "XtraText4_3")->text(), "name");
    EXPECT_EQ(f.Geaendert(), -1);
    ASSERT_TRUE(f.ActiveBar1().Click("HOAITAFELN", "KX" + QString::number(lang)));
    EXPECT_EQ(Eingabe(f, "XtraText4_2")->text(), "123");
    ASSERT_TRUE(f.ActiveBar1().Click("Band1", "EXIT"));
    EXPECT_EQ(Text("Leistungsbilder", profil, "HoaiTafel"), "123");
    EXPECT_EQ(Text("Leistungsbilder", profil, "HoaiTafelBez"), "lang");
    EXPECT_EQ(std::get<int64_t>(Feld("Leistungsbilder", profil, "HoaiTafelZuordnung")), lang);
}

TEST_F(LBildTest, UnitOutsideTheOptionsIsKeptAndANonNumberSavesNothing) {
    const int64_t erstes = Zahl("SELECT Min(LfNr) FROM Leistungsbilder");
    stamm_->Execute("UPDATE Leistungsbilder SET Einheit = 9 WHERE LfNr = ?", db::Params().Add(erstes));
    MessageBoxScript boxen({MsgResult::Yes, MsgResult::OK, MsgResult::Yes});
    LBild f(*stamm_);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(f.findChild<QRadioButton*>(QString("Option1_%1").arg(i))->isChecked());
    Eingabe(f, "XtraText3_2")->setText("zwei");
    Eingabe(f, "XtraText1_2")->setText("Neu");
    Waehle(f, 1);
    ASSERT_EQ(boxen.Shown().size(), 2u);
    EXPECT_EQ(boxen.Shown()[1].text, "Die Eingabe muss nummerisch sein");
    EXPECT_NE(Text("Leistungsbilder", erstes, "LiTX03"), "Neu");
    // The refused profile stays shown with its edits.
    EXPECT_EQ(f.AktProfil(), erstes);
    EXPECT_EQ(f.TreeView1()->currentItem(), f.TreeView1()->topLevelItem(0));
    EXPECT_EQ(Eingabe(f, "XtraText1_2")->text(), "Neu");
    Eingabe(f, "XtraText3_2")->setText("2");
    ASSERT_TRUE(f.ActiveBar1().Click("Band1", "EXIT"));
    EXPECT_EQ(Text("Leistungsbilder", erstes, "LiTX03"), "Neu");
    EXPECT_EQ(std::get<int64_t>(Feld("Leistungsbilder", erstes, "Einheit")), 9);
}

TEST(LBildLeer, EmptyTreeShowsNothingToEdit) {
    testApp();
    MessageBoxScript boxen;
    TestDir dir;
    auto stamm = LeereStammDB(dir);
    ASSERT_TRUE(stamm);
    LBild f(*stamm);
    EXPECT_EQ(f.AktProfil(), 0);
    EXPECT_FALSE(f.findChild<QWidget*>("Picture1")->isEnabled());
    EXPECT_FALSE(f.ActiveBar1().Enabled("Band1", "DEL"));
    EXPECT_TRUE(f.ActiveBar1().Click("Band1", "COPY"));
    EXPECT_TRUE(f.ActiveBar1().Click("Band1", "EXIT"));
    EXPECT_TRUE(boxen.Shown().empty());
}

TEST_F(LBildTest, ARefusedValueKeepsTheWindowAndEveryEditUntilCorrected) {
    const int64_t erstes = Zahl("SELECT Min(LfNr) FROM Leistungsbilder");
    struct Case {
        const char* feld; // the refused field
        const char* falsch;
        const char* richtig;
        const char* gespeichert; // field of the record it lands in
    } cases[] = {
        {"XtraText2_1", "2x", "7", "proz02"},
        {"XtraText3_4", "1..", "3", "KoZU05"},
        {"XtraText3_8", "99999", "1", "KoZU09"}, // beyond a group number's range
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.feld);
        const db::Value vorher = Feld("Leistungsbilder", erstes, c.gespeichert);
        MessageBoxScript boxen({MsgResult::Yes, MsgResult::OK, MsgResult::Yes});
        LBild f(*stamm_);
        f.show();
        Eingabe(f, "XtraText1_0")->setText(QString("Geändert ") + c.feld);
        Eingabe(f, "XtraText4_1")->setText("Umbenannt");
        Eingabe(f, c.feld)->setText(c.falsch);

        // Closing and answering Yes: the message, the window stays with every edit and the cursor there.
        ASSERT_TRUE(f.ActiveBar1().Click("Band1", "EXIT"));
        ASSERT_EQ(boxen.Shown().size(), 2u);
        EXPECT_EQ(boxen.Shown()[1].text, "Die Eingabe muss nummerisch sein");
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(f.focusWidget(), Eingabe(f, c.feld));
        EXPECT_EQ(Eingabe(f, "XtraText1_0")->text(), QString("Geändert ") + c.feld);
        EXPECT_EQ(Eingabe(f, c.feld)->text(), c.falsch);
        EXPECT_EQ(f.Geaendert(), -1);
        EXPECT_NE(Text("Leistungsbilder", erstes, "LiTX01"), "Geändert " + std::string(c.feld));
        EXPECT_EQ(Feld("Leistungsbilder", erstes, c.gespeichert), vorher);

        // Corrected, the next close stores all of it.
        Eingabe(f, c.feld)->setText(c.richtig);
        ASSERT_TRUE(f.ActiveBar1().Click("Band1", "EXIT"));
        EXPECT_EQ(boxen.Shown().size(), 3u);
        EXPECT_FALSE(f.isVisible());
        EXPECT_EQ(Text("Leistungsbilder", erstes, "LiTX01"), "Geändert " + std::string(c.feld));
        EXPECT_EQ(Text("Leistungsbilder", erstes, "ParagBezeichnung"), "Umbenannt");
        const db::Value v = Feld("Leistungsbilder", erstes, c.gespeichert);
        EXPECT_EQ(c.gespeichert[0] == 'p' ? ProfilStore::ProzentText(v) : ProfilStore::GruppeText(v),
                  c.richtig);
    }
}

TEST_F(LBildTest, SharesThatDoNotAddUpToHundredAreRefusedAndTheStoredProfileStays) {
    const int64_t gebaeude = Zahl("SELECT Min(LfNr) FROM Leistungsbilder");
    const auto gespeichert = [&] {
        std::vector<db::Value> v;
        for (const char* f : {"proz01", "proz02", "proz05", "proz10", "ParagBezeichnung"})
            v.push_back(Feld("Leistungsbilder", gebaeude, f));
        return v;
    };
    const auto vorher = gespeichert();
    struct Case {
        const char* lp1;
        const char* lp5; // Gebäude: LP 1 2 %, LP 5 25 %, the rest 73 %
        const char* meldung;
    } cases[] = {
        {"5", "25",
         "Die Bewertungen der Leistungsphasen ergeben zusammen 103 %. Ein Leistungsbild kann nur "
         "mit zusammen 100 % gespeichert werden."},
        {"1,5", "25",
         "Die Bewertungen der Leistungsphasen ergeben zusammen 99,5 %. Ein Leistungsbild kann nur "
         "mit zusammen 100 % gespeichert werden."},
        {"", "25",
         "Die Bewertungen der Leistungsphasen ergeben zusammen 98 %. Ein Leistungsbild kann nur mit "
         "zusammen 100 % gespeichert werden."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lp1);
        MessageBoxScript boxen({MsgResult::Yes, MsgResult::OK});
        LBild f(*stamm_);
        f.show();
        Eingabe(f, "XtraText4_1")->setFocus();
        eingabe::Taste(f, Qt::Key_A, Qt::ControlModifier);
        eingabe::Tasten(f, "Gebäude geändert");
        Eingabe(f, "XtraText2_0")->setFocus();
        eingabe::Taste(f, Qt::Key_A, Qt::ControlModifier);
        eingabe::Taste(f, Qt::Key_Delete);
        eingabe::Tasten(f, c.lp1);
        ASSERT_EQ(Eingabe(f, "XtraText2_0")->text(), c.lp1);
        ASSERT_EQ(Eingabe(f, "XtraText4_1")->text(), "Gebäude geändert");
        eingabe::Taste(f, Qt::Key_Escape); // closes through EXIT, which asks to save
        ASSERT_EQ(boxen.Shown().size(), 2u) << boxen.LastText().toStdString();
        EXPECT_EQ(boxen.Shown()[1].text, c.meldung);
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(f.focusWidget(), Eingabe(f, "XtraText2_0"));
        EXPECT_EQ(Eingabe(f, "XtraText2_0")->text(), c.lp1);
        EXPECT_EQ(gespeichert(), vorher);
    }

    // Moving the difference to another phase adds up to 100 %: stored.
    MessageBoxScript boxen({MsgResult::Yes});
    LBild f(*stamm_);
    f.show();
    for (const auto& [feld, text] : {std::pair{"XtraText2_0", "4,5"}, std::pair{"XtraText2_4", "22,5"}}) {
        Eingabe(f, feld)->setFocus();
        eingabe::Taste(f, Qt::Key_A, Qt::ControlModifier);
        eingabe::Tasten(f, text);
    }
    eingabe::Taste(f, Qt::Key_Escape);
    EXPECT_EQ(boxen.Shown().size(), 1u) << boxen.LastText().toStdString();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(std::get<int64_t>(Feld("Leistungsbilder", gebaeude, "proz01")), 45000);
    EXPECT_EQ(std::get<int64_t>(Feld("Leistungsbilder", gebaeude, "proz05")), 225000);
}
