#include "platform/outside/DruckVorlagenEditor.h"
#include "TestApp.h"
#include "TestDir.h"
#include "core/DatabaseSetup.h"
#include "core/MasterDataLoader.h"
#include "documents/SbRoutienen.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/richtext/VeluDoc.h"

#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace velu;
using outside::DruckVorlagenEditor;
using richtext::ScribantPro;

namespace {

class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        std::string error;
        stamm_ = DatabaseSetup::CreateStammDB(dir_ / "VELUDAT32.MDB", &error);
        ASSERT_TRUE(stamm_) << error;
        MasterDataLoader::Load(*stamm_, std::filesystem::path(VELU_SOURCE_DIR) / "data" / "hoai");
    }

    db::Recordset Rechnung() {
        return stamm_->OpenRecordset("SELECT * FROM DruckVorlagen WHERE Dokumentart = 2");
    }

    // Puts text at the start of the header (or another part) of the editor's template.
    static void NeuerKopf(DruckVorlagenEditor& e, const QString& text, int teil = ScribantPro::Header) {
        e.findChild<QTabBar*>("Bereich")->setCurrentIndex(teil);
        QTextDocument* kopf = e.Ansicht().Control().Document(teil);
        QTextCursor c(kopf);
        c.movePosition(QTextCursor::Start);
        c.insertText(text, QTextCharFormat());
    }
    // The stored invoice template's text of part teil.
    QString Gespeichert(int teil) {
        auto rs = Rechnung();
        ScribantPro c;
        EXPECT_TRUE(documents::SBLoadTexte(c, rs, "TextVorlagen", "TextVorlagenFO", "KopfTX", "KopfFo",
                                           "FussTx", "FussFO", "RandOben", "RandUnten", "RandLINKS",
                                           "RandRechts", 0));
        c.SetContext(teil);
        return c.Text();
    }

    TestDir dir_;
    std::unique_ptr<db::Database> stamm_;
};

} // namespace

TEST_F(EditorFixture, ChangedHeaderIsSavedAndLoadsAgain) {
    DruckVorlagenEditor e(*stamm_);
    ASSERT_TRUE(e.Waehle(2));
    EXPECT_EQ(e.findChild<QLineEdit*>("Bezeichnung")->text(), "Rechnung");
    EXPECT_DOUBLE_EQ(e.findChild<QDoubleSpinBox*>("RandLINKS")->value(), 25);
    EXPECT_FALSE(e.Geaendert());
    NeuerKopf(e, QString::fromUtf8("Büro Nord – "));
    e.findChild<QDoubleSpinBox*>("RandOben")->setValue(30);
    EXPECT_TRUE(e.Geaendert());
    forms::MessageBoxScript script;
    ASSERT_TRUE(e.Werkzeuge().Click("Band1", "SAVE"));
    EXPECT_TRUE(script.Shown().empty());
    EXPECT_FALSE(e.Geaendert());

    auto rs = Rechnung();
    EXPECT_EQ(rs.GetInt("UNICODEFLAG"), 1);
    EXPECT_EQ(rs.GetText("KopfFo"), "velu-doc");
    EXPECT_EQ(rs.GetInt("RandOben"), 30000);
    ScribantPro c;
    ASSERT_TRUE(documents::SBLoadTexte(c, rs, "TextVorlagen", "TextVorlagenFO", "KopfTX", "KopfFo", "FussTx",
                                       "FussFO", "RandOben", "RandUnten", "RandLINKS", "RandRechts", 0));
    c.SetContext(ScribantPro::Header);
    EXPECT_TRUE(c.Text().startsWith(QString::fromUtf8("Büro Nord – Architektur"))) << c.Text().toStdString();
    EXPECT_DOUBLE_EQ(c.TopMargin(), 30);
    // The fields of all three parts are still fields.
    EXPECT_TRUE(c.SetFieldText(101, "2002-04"));
    EXPECT_TRUE(c.SetFieldText(91, "1"));
    EXPECT_TRUE(c.SetFieldText(3000, "Nachweis"));
    c.SetContext(ScribantPro::Body);
    EXPECT_TRUE(c.Text().contains("Projekt-Nr.: 2002-04"));
}

// A write refused by the database (a trigger, a read-only file, a full disk) keeps the stored row and says
// why in German.
TEST_F(EditorFixture, FailedOrRefusedSaveKeepsTheStoredRow) {
    const std::string vorher = Rechnung().GetText("KopfTX");
    DruckVorlagenEditor e(*stamm_);
    ASSERT_TRUE(e.Waehle(2));
    // More than the free room in the file's pages.
    NeuerKopf(e, "verloren " + QString(300000, 'x'));
    const std::string seiten =
        std::to_string(stamm_->OpenRecordset("PRAGMA page_count").GetInt("page_count"));
    struct Fall {
        const char* was;
        std::string an, aus;
        QString warum;
    } faelle[] = {
        {"trigger",
         "CREATE TRIGGER KeinSchreiben BEFORE UPDATE ON DruckVorlagen "
         "BEGIN SELECT RAISE(ABORT, 'Datenträger voll'); END",
         "DROP TRIGGER KeinSchreiben", QString::fromUtf8("Datenträger voll")},
        {"read-only", "PRAGMA query_only = 1", "PRAGMA query_only = 0",
         QString::fromUtf8("Die Datenbank ist schreibgeschützt und kann nicht geändert werden.")},
        {"disk full", "PRAGMA max_page_count = " + seiten, "PRAGMA max_page_count = 1073741823",
         QString::fromUtf8("Auf dem Datenträger ist kein Platz mehr frei.")},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.was);
        stamm_->Execute(f.an);
        forms::MessageBoxScript script;
        EXPECT_FALSE(e.Speichern());
        stamm_->Execute(f.aus);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text, outside::DruckvorlageNichtGespeichert + "\n\n" + f.warum);
        EXPECT_EQ(Rechnung().GetText("KopfTX"), vorher);
        EXPECT_TRUE(e.Geaendert());
    }

    e.findChild<QLineEdit*>("Bezeichnung")->setText("  ");
    {
        forms::MessageBoxScript script;
        EXPECT_FALSE(e.Speichern());
        EXPECT_EQ(script.LastText(), outside::DruckvorlageOhneBezeichnung);
    }
    EXPECT_EQ(Rechnung().GetText("KopfTX"), vorher);
    EXPECT_EQ(Rechnung().GetText("Bezeichnung"), "Rechnung");
}

TEST_F(EditorFixture, SwitchingKindAsksAboutUnsavedChanges) {
    DruckVorlagenEditor e(*stamm_);
    ASSERT_TRUE(e.Waehle(2));
    auto* art = e.findChild<QComboBox*>("Dokumentart");
    struct Case {
        forms::MsgResult answer;
        int kindAfter;
        bool saved;
    } cases[] = {{forms::MsgResult::Cancel, 2, false}, {forms::MsgResult::Yes, 4, true}};
    for (const auto& k : cases) {
        ASSERT_TRUE(e.Waehle(2));
        NeuerKopf(e, "Neu ");
        forms::MessageBoxScript script({k.answer});
        art->setCurrentIndex(3);
        emit art->activated(3);
        EXPECT_EQ(script.LastText(), outside::DruckvorlageAenderungen);
        EXPECT_EQ(art->currentData().toInt(), k.kindAfter);
        EXPECT_EQ(QString::fromStdString(Rechnung().GetText("KopfTX")).contains("Neu "), k.saved);
    }
    EXPECT_EQ(e.findChild<QLineEdit*>("Bezeichnung")->text(), "Zusammenstellung");
    EXPECT_FALSE(e.Waehle(2, 999));
}

TEST_F(EditorFixture, DruckvorlagenScreenshot) {
    DruckVorlagenEditor e(*stamm_);
    ASSERT_TRUE(e.Waehle(2));
    e.resize(1000, 820);
    e.show();
    e.Werkzeuge().Click("Band1", "PREVIEW");
    QApplication::processEvents();
    EXPECT_TRUE(e.Ansicht().Control().PageView());
    EXPECT_NE(e.findChild<QLabel*>("Seite1"), nullptr);
    EXPECT_EQ(e.findChild<QLabel*>("Seite2"), nullptr);
    QString datei = qEnvironmentVariable("VELU_DRUCKVORLAGEN_SCREENSHOT");
    if (datei.isEmpty())
        datei = qEnvironmentVariable("VELU_BINARY_DIR", ".") + "/screenshots/DruckVorlagen.png";
    QDir().mkpath(QFileInfo(datei).absolutePath());
    ASSERT_TRUE(e.grab().save(datei));
    EXPECT_GT(QFileInfo(datei).size(), 1000);
    e.Werkzeuge().Click("Band1", "PREVIEW");
    EXPECT_FALSE(e.Ansicht().Control().PageView());
}

TEST_F(EditorFixture, ByteStringTemplateIsSavedAsUtf8) {
    stamm_->Execute("UPDATE DruckVorlagen SET UNICODEFLAG = 0, KopfTX = :k WHERE Dokumentart = 2",
                    db::Params().Set("k", std::string("<velu-doc version=\"1\"><p>\x93Gr\xfc\xdf\x65\x94 "
                                                      "\x80</p></velu-doc>")));
    DruckVorlagenEditor e(*stamm_);
    ASSERT_TRUE(e.Waehle(2));
    ScribantPro& c = e.Ansicht().Control();
    c.SetContext(ScribantPro::Header);
    EXPECT_EQ(c.Text(), QString::fromUtf8("“Grüße” €"));
    ASSERT_TRUE(e.Speichern());
    auto rs = Rechnung();
    EXPECT_EQ(rs.GetInt("UNICODEFLAG"), 1);
    EXPECT_EQ(rs.GetText("KopfTX"), "<velu-doc version=\"1\"><p>“Grüße” €</p></velu-doc>");
}

// Two clerks, each with his own connection to the office's master database, open the invoice template; A adds
// to the header and saves, then B adds to the footer and saves: both edits are stored and B's window shows
// A's header. When both then change the header, the second save is refused aloud and the first stays.
TEST_F(EditorFixture, TwoClerksSavingOneTemplateLoseNoSavedEdit) {
    auto zweite = db::Database::Open(dir_ / "VELUDAT32.MDB");
    ASSERT_TRUE(zweite);
    DruckVorlagenEditor a(*stamm_), b(*zweite);
    ASSERT_TRUE(a.Waehle(2));
    ASSERT_TRUE(b.Waehle(2));
    NeuerKopf(a, "Kopf von A ");
    NeuerKopf(b, QString::fromUtf8("Fuß von B "), ScribantPro::Footer);
    forms::MessageBoxScript script;
    ASSERT_TRUE(a.Werkzeuge().Click("Band1", "SAVE"));
    ASSERT_TRUE(b.Werkzeuge().Click("Band1", "SAVE"));
    EXPECT_TRUE(script.Shown().empty());
    EXPECT_TRUE(Gespeichert(ScribantPro::Header).startsWith("Kopf von A Architektur"));
    EXPECT_TRUE(Gespeichert(ScribantPro::Footer).startsWith(QString::fromUtf8("Fuß von B ")));
    EXPECT_TRUE(b.Ansicht().Control().Document(ScribantPro::Header)->toPlainText().startsWith("Kopf von A "));
    EXPECT_FALSE(b.Geaendert());

    NeuerKopf(a, "A2 ");
    NeuerKopf(b, "B2 ");
    ASSERT_TRUE(a.Werkzeuge().Click("Band1", "SAVE"));
    EXPECT_TRUE(script.Shown().empty());
    EXPECT_FALSE(b.Speichern());
    EXPECT_EQ(script.LastText(), outside::DruckvorlageInzwischenGeaendert.arg("Kopf"));
    EXPECT_TRUE(Gespeichert(ScribantPro::Header).startsWith("A2 Kopf von A Architektur"));
    EXPECT_TRUE(Gespeichert(ScribantPro::Footer).startsWith(QString::fromUtf8("Fuß von B ")));
    EXPECT_TRUE(b.Geaendert());
}
