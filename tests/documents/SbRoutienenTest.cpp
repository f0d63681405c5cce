#include "documents/SbRoutienen.h"
#include "TestApp.h"
#include "TestDir.h"
#include "core/DatabaseSetup.h"
#include "platform/db/Params.h"
#include "platform/forms/MessageBox.h"
#include "platform/richtext/VeluDoc.h"

#include <QTextDocument>
#include <gtest/gtest.h>

using namespace velu;
using namespace velu::documents;
using richtext::ScribantPro;

namespace {

std::string Doc(const std::string& body) {
    return "<velu-doc version=\"1\">" + body + "</velu-doc>";
}

QString Written(const ScribantPro& c, int context) {
    return richtext::WriteVeluDoc(*c.Document(context));
}

// A master database with print template rows made by the test.
class SbFixture : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        std::string error;
        db_ = DatabaseSetup::CreateStammDB(dir_ / "VELUDAT32.MDB", &error);
        ASSERT_TRUE(db_) << error;
    }

    struct Row {
        db::Value kopf, kopfFo, fuss, fussFo, text, textFo, flag = int64_t{1};
        db::Value oben = int64_t{20000}, unten = int64_t{15000}, links = int64_t{25000},
                  rechts = int64_t{18000};
    };

    db::Recordset Insert(const Row& r) {
        db_->Execute("DELETE FROM DruckVorlagen");
        db_->Execute("INSERT INTO DruckVorlagen (Dokumentart, Bezeichnung, RandOben, RandUnten, RandLINKS, "
                     "RandRechts, KopfTX, KopfFo, FussTx, FussFO, TextVorlagen, TextVorlagenFO, UNICODEFLAG) "
                     "VALUES (2, 'Test', :o, :u, :l, :r, :k, :kf, :f, :ff, :t, :tf, :flag)",
                     db::Params()
                         .Set("o", r.oben)
                         .Set("u", r.unten)
                         .Set("l", r.links)
                         .Set("r", r.rechts)
                         .Set("k", r.kopf)
                         .Set("kf", r.kopfFo)
                         .Set("f", r.fuss)
                         .Set("ff", r.fussFo)
                         .Set("t", r.text)
                         .Set("tf", r.textFo)
                         .Set("flag", r.flag));
        return db_->OpenRecordset("SELECT * FROM DruckVorlagen");
    }

    // A row of three velu-doc texts.
    static Row Velu(const std::string& text, const std::string& kopf, const std::string& fuss) {
        Row r;
        r.text = text;
        r.kopf = kopf;
        r.fuss = fuss;
        r.textFo = r.kopfFo = r.fussFo = std::string("velu-doc");
        return r;
    }

    static bool LoadAll(ScribantPro& c, const db::Recordset& rs, std::optional<int> keep = std::nullopt) {
        return SBLoadTexte(c, rs, "TextVorlagen", "TextVorlagenFO", "KopfTX", "KopfFo", "FussTx", "FussFO",
                           "RandOben", "RandUnten", "RandLINKS", "RandRechts", keep);
    }

    TestDir dir_;
    std::unique_ptr<db::Database> db_;
};

const std::string Fo = "velu-doc";

} // namespace

TEST_F(SbFixture, LoadsBodyHeaderFooterAndMargins) {
    const Row r = Velu(Doc("<p>Rumpf <field n=\"3001\"> </field></p>"), Doc("<p>Kopf</p>"),
                       Doc("<p>Seite <field n=\"91\"> </field></p>"));
    auto rs = Insert(r);
    ScribantPro c;
    c.SetContext(ScribantPro::Footer);
    ASSERT_TRUE(LoadAll(c, rs, 0));
    EXPECT_EQ(c.GetContext(), ScribantPro::Footer);
    EXPECT_TRUE(c.Redraw());
    EXPECT_EQ(Written(c, 0).toStdString(), std::get<std::string>(r.text));
    EXPECT_EQ(Written(c, 1).toStdString(), std::get<std::string>(r.kopf));
    EXPECT_EQ(Written(c, 2).toStdString(), std::get<std::string>(r.fuss));
    EXPECT_DOUBLE_EQ(c.TopMargin(), 20);
    EXPECT_DOUBLE_EQ(c.BottomMargin(), 15);
    EXPECT_DOUBLE_EQ(c.LeftMargin(), 25);
    EXPECT_DOUBLE_EQ(c.RightMargin(), 18);

    // keep 0 empties all three contexts first; without keep the texts are appended.
    ASSERT_TRUE(LoadAll(c, rs, 0));
    EXPECT_EQ(Written(c, 1).toStdString(), Doc("<p>Kopf</p>"));
    ASSERT_TRUE(LoadAll(c, rs));
    EXPECT_EQ(Written(c, 1).toStdString(), Doc("<p>Kopf</p><p>Kopf</p>"));
    EXPECT_EQ(Written(c, 0).count("<field n=\"3001\">"), 2);
    ASSERT_TRUE(LoadAll(c, rs, 1));
    EXPECT_EQ(Written(c, 1).count("Kopf"), 3);
}

TEST_F(SbFixture, OptionalPartsAndNulls) {
    struct Case {
        const char* name;
        db::Value kopf, fuss, text, textFo;
        bool headerNames;
        QString body, header, footer;
    } cases[] = {
        {"Null header, footer present", db::Value{}, Doc("<p>Fuß</p>"), Doc("<p>R</p>"), Fo, true, "R", "",
         QString::fromUtf8("Fuß")},
        {"empty header", std::string(), Doc("<p>Fuß</p>"), Doc("<p>R</p>"), Fo, true, "R", "",
         QString::fromUtf8("Fuß")},
        {"no header field names", Doc("<p>K</p>"), Doc("<p>F</p>"), Doc("<p>R</p>"), Fo, false, "R", "", ""},
        {"Null body format", Doc("<p>K</p>"), Doc("<p>F</p>"), Doc("<p>R</p>"), db::Value{}, true, "", "K",
         "F"},
        {"plain text format", db::Value{}, db::Value{}, std::string("Zeile\r\nzwei"), std::string("rtf"),
         true, "Zeile\nzwei", "", ""},
    };
    for (const auto& k : cases) {
        Row r;
        r.kopf = k.kopf;
        r.kopfFo = Fo;
        r.fuss = k.fuss;
        r.fussFo = Fo;
        r.text = k.text;
        r.textFo = k.textFo;
        auto rs = Insert(r);
        ScribantPro c;
        const bool ok = k.headerNames ? LoadAll(c, rs, 0)
                                      : SBLoadTexte(c, rs, "TextVorlagen", "TextVorlagenFO", "", "", "FussTx",
                                                    "FussFO", "", "", "", "", 0);
        EXPECT_TRUE(ok) << k.name;
        auto text = [&](int ctx) {
            c.SetContext(ctx);
            return c.Text();
        };
        EXPECT_EQ(text(0), k.body) << k.name;
        EXPECT_EQ(text(1), k.header) << k.name;
        EXPECT_EQ(text(2), k.footer) << k.name;
    }
}

TEST_F(SbFixture, NoCurrentRowAndMissingFieldsLeaveTheControlAlone) {
    Row r;
    r.text = Doc("<p>neu</p>");
    r.textFo = Fo;
    Insert(r);
    ScribantPro c;
    c.PasteData(QString::fromStdString(Doc("<p>alt</p>")), richtext::VeluDocFormat, -1);
    c.SetTopMargin(33);
    auto leer = db_->OpenRecordset("SELECT * FROM DruckVorlagen WHERE LFNR = -1");
    EXPECT_TRUE(LoadAll(c, leer, 0));
    EXPECT_EQ(c.Text(), "alt");
    EXPECT_DOUBLE_EQ(c.TopMargin(), 33);

    // A record without the named fields (and without UNICODEFLAG): nothing to paste, no failure.
    auto fremd = db_->OpenRecordset("SELECT LFNR, Bezeichnung FROM DruckVorlagen");
    EXPECT_TRUE(LoadAll(c, fremd));
    EXPECT_EQ(c.Text(), "alt");
    EXPECT_DOUBLE_EQ(c.TopMargin(), 33);

    // Margins out of range or Null: the default, or untouched.
    Row m = r;
    m.oben = int64_t{250000};
    m.unten = db::Value{};
    auto rs = Insert(m);
    c.SetBottomMargin(12);
    EXPECT_TRUE(LoadAll(c, rs, 0));
    EXPECT_DOUBLE_EQ(c.TopMargin(), ScribantPro::DefaultTop);
    EXPECT_DOUBLE_EQ(c.BottomMargin(), 12);
}

TEST_F(SbFixture, ByteStringsAreWidened) {
    const std::string bytes = "\x80 \x93zitiert\x94 Gr\xfc\xdf"
                              "e";
    const QString wide = QString::fromUtf8("€ “zitiert” Grüße");
    struct Case {
        db::Value flag;
        QString expected;
    } cases[] = {
        {int64_t{0}, wide}, {db::Value{}, wide}, {int64_t{1}, QString::fromUtf8("€ “zitiert” Grüße")}};
    for (const auto& k : cases) {
        Row r;
        r.flag = k.flag;
        const bool widen = !std::holds_alternative<int64_t>(k.flag) || std::get<int64_t>(k.flag) == 0;
        const std::string inner = widen ? bytes : wide.toStdString();
        r.text = Doc("<p>" + inner + "</p>");
        r.kopf = Doc("<p>K " + inner + "</p>");
        r.fuss = Doc("<p>F " + inner + "</p>");
        r.textFo = r.kopfFo = r.fussFo = Fo;
        auto rs = Insert(r);
        ScribantPro c;
        ASSERT_TRUE(LoadAll(c, rs, 0));
        c.SetContext(0);
        EXPECT_EQ(c.Text(), k.expected);
        c.SetContext(1);
        EXPECT_EQ(c.Text(), "K " + k.expected);
        c.SetContext(2);
        EXPECT_EQ(c.Text(), "F " + k.expected);
    }

    QString text = QString::fromLatin1("\x80\xfc"), format = "text";
    ScribantPro c;
    EXPECT_TRUE(SBPasteData(c, text, format, 0, ScribantPro::Header));
    EXPECT_EQ(text, QString::fromUtf8("€ü"));
    EXPECT_EQ(c.GetContext(), ScribantPro::Body);
}

TEST_F(SbFixture, UnreadableTemplateIsReported) {
    const Row r = Velu(Doc("<p>kaputt"), Doc("<p>Kopf</p>"), Doc("<p>Fuß</p>"));
    auto rs = Insert(r);
    forms::MessageBoxScript script;
    ScribantPro c;
    EXPECT_FALSE(LoadAll(c, rs, 0));
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, DruckvorlageUnlesbar);
    c.SetContext(1);
    EXPECT_EQ(c.Text(), "Kopf");
    c.SetContext(0);
    EXPECT_EQ(c.Text(), "");
}

TEST(SBDefaults, FlagUnsetOnlyBeepsElseAppliesTheHouseDefaults) {
    testApp();
    int beeps = 0;
    SBBeep() = [&] { ++beeps; };
    ScribantPro c;
    c.SetTopMargin(40);
    const QFont vorher = c.Document(0)->defaultFont();
    SBStandardTyp aus = HausStandard();
    aus.gesetzt = false;
    aus.schriftGroesse = 200;
    SBDefaults(c, aus);
    EXPECT_EQ(beeps, 1);
    EXPECT_DOUBLE_EQ(c.TopMargin(), 40);
    EXPECT_EQ(c.Document(0)->defaultFont(), vorher);

    EXPECT_TRUE(SBStandard().gesetzt);
    SBDefaults(c);
    EXPECT_EQ(beeps, 1);
    const QFont f = c.Document(2)->defaultFont();
    EXPECT_EQ(f.families().value(0), "DejaVu Sans");
    EXPECT_DOUBLE_EQ(f.pointSizeF(), 10.0);
    EXPECT_NEAR(richtext::PxToMm(c.Document(1)->defaultTextOption().tabStopDistance()), 12.5, 1e-9);
    EXPECT_DOUBLE_EQ(c.TopMargin(), 20);
    EXPECT_DOUBLE_EQ(c.LeftMargin(), 25);
    EXPECT_DOUBLE_EQ(c.RightMargin(), 20);
    EXPECT_DOUBLE_EQ(c.BottomMargin(), 20);
    EXPECT_EQ(c.BackColor(), 0xFFFFFF);
    SBBeep() = nullptr;
}
