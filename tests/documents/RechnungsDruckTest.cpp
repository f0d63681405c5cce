// A print run up to the built document: invoice date, print tables in the chosen currency, fields and the
// fee statement at field 3000, all in one transaction.
#include "documents/RechnungsDruck.h"
#include "RechnungFixture.h"
#include "documents/CRModul.h"
#include "platform/db/Database.h"
#include "platform/richtext/ScribantPro.h"

using namespace velu;
using namespace velu::documents;

namespace {

QString ReportOrdner() {
    return QString::fromUtf8(qgetenv("VELU_BINARY_DIR")) + "/data/reports/HOAI";
}

const QString MitBericht = QStringLiteral(
    "<velu-doc version=\"1\"><p>Rechnung <field n=\"3001\"> </field> vom <field n=\"3303\"> </field></p>"
    "<p><field n=\"3000\"> </field></p><p>Endbetrag <field n=\"3315\"> </field></p></velu-doc>");
const QString OhneBericht =
    QStringLiteral("<velu-doc version=\"1\"><p>Endbetrag <field n=\"3315\"> </field></p></velu-doc>");

class RechnungsDruckTest : public RechnungFixture {
protected:
    void SetUp() override {
        RechnungFixture::SetUp();
        Rechnung(1, "R", DM,
                 {{"Endbetrag", Cy("1160")},
                  {"AlDispEndbetrag", Cy("593.0984")},
                  {"KOST57", Cy("1955.83")},
                  {"BerNetto", Cy("1000")},
                  {"AlDispBerNetto", Cy("511.29")}});
    }
    // Runs the build for calculation 1 on a template text; the statement's text is in Text().
    void Baue(const QString& vorlage, int art = 2, int waehrung = DM, QDate datum = QDate(2026, 12, 1),
              const QString& ordner = ReportOrdner()) {
        control_ = std::make_unique<richtext::ScribantPro>();
        ASSERT_TRUE(control_->PasteData(vorlage, "velu-doc", int(vorlage.size())));
        dok_ = std::make_unique<RechnungsDokument>(*control_, *projekt_, cr_, umgebung_, ordner);
        Druckauftrag a;
        a.lfnr = 1;
        a.art = art;
        a.eingabe = DM;
        a.waehrung = waehrung;
        a.datumText = "01.12.2026";
        a.datum = datum;
        BaueDokument(*dok_, a, nullptr);
    }
    QString Text() {
        control_->SetContext(richtext::ScribantPro::Body);
        return control_->Text().replace(QChar(0x00A0), QLatin1Char(' '));
    }
    std::string Redatum() {
        db::Recordset rs = projekt_->OpenRecordset("SELECT Redatum FROM BeReList WHERE LfNr = 1");
        return rs.GetText("Redatum");
    }

    CRModul cr_;
    std::unique_ptr<richtext::ScribantPro> control_;
    std::unique_ptr<RechnungsDokument> dok_;
};

TEST_F(RechnungsDruckTest, TheInvoiceDateIsWrittenOnlyWhenChanged) {
    projekt_->Execute("UPDATE BeReList SET Redatum = '2026-12-01 00:00:00' WHERE LfNr = 1");
    Baue(OhneBericht);
    EXPECT_EQ(Redatum(), "2026-12-01 00:00:00");
    Baue(MitBericht, 2, DM, QDate(2026, 12, 24));
    EXPECT_EQ(Redatum(), "2026-12-24");
    EXPECT_EQ(control_->FieldText(3303), "24.12.2026");
}

TEST_F(RechnungsDruckTest, TheOtherCurrencyPrintsTheTwinsAndConvertsAmountsWithoutTwin) {
    Gruppe(1, 1,
           {{"SummAnreKostAB1", Cy("977915")},
            {"AnreKostAB1", Cy("1.9558")},
            {"HonrarNetto", Cy("2")},
            {"AlDispHonrarNetto", Cy("1.0226")}});
    Zeile("StdRePos", {{"REZuordnung", int64_t(1)},
                       {"interSatz", Cy("19.5583")},
                       {"Satz", Cy("3")},
                       {"AlDispSatz", Cy("1.5339")}});
    struct Fall {
        int waehrung;
        const char* zeichen;
        const char* ende;
        const char* kosten;
        const char* kost57;
        const char* interSatz;
        const char* honorar;
        const char* satz;
    };
    for (const Fall& c : {Fall{DM, " DM", "1160", "977915", "1955.83", "19.5583", "2", "3"},
                          Fall{EUR, " €", "593.0984", "500000", "1000", "10", "1.0226", "1.5339"}}) {
        Baue(MitBericht, 2, c.waehrung);
        EXPECT_TRUE(control_->FieldText(3315).replace(QChar(0x00A0), QLatin1Char(' ')).endsWith(
            QString::fromUtf8(c.zeichen)));
        auto wert = [&](const char* sql) {
            db::Recordset rs = projekt_->OpenRecordset(sql);
            return GetCY(rs, rs.FieldNames().front());
        };
        EXPECT_EQ(wert("SELECT Endbetrag FROM BeReListPrint"), Currency::FromString(c.ende));
        EXPECT_EQ(wert("SELECT KOST57 FROM BeReListPrint"), Currency::FromString(c.kost57));
        EXPECT_EQ(wert("SELECT SummAnreKostAB1 FROM Grunddatenprint"), Currency::FromString(c.kosten));
        EXPECT_EQ(wert("SELECT HonrarNetto FROM Grunddatenprint"), Currency::FromString(c.honorar));
        EXPECT_EQ(wert("SELECT interSatz FROM StdRePosPrint"), Currency::FromString(c.interSatz));
        EXPECT_EQ(wert("SELECT Satz FROM StdRePosPrint"), Currency::FromString(c.satz));
        // No DM cost amount prints with the euro sign.
        EXPECT_EQ(Text().contains(QString::fromUtf8("977.915,00 €")), false) << Text().toStdString();
    }
}

TEST_F(RechnungsDruckTest, AFailureAfterTheFillLeavesDateAndPrintTablesAsTheyWere) {
    Gruppe(1, 1, {{"HonrarNetto", Cy("5")}});
    Baue(OhneBericht);
    projekt_->Execute("UPDATE Grunddaten SET HonrarNetto = 990000");
    projekt_->Execute("UPDATE BeReList SET Endbetrag = 1 WHERE LfNr = 1");
    try {
        Baue(MitBericht, 2, DM, QDate(2027, 1, 2), QString::fromStdString(dir_.Path().string()));
        FAIL() << "kein Fehler";
    } catch (const DruckFehler& e) {
        EXPECT_EQ(e.text, "Fehler bei ReportOpen #53");
    }
    EXPECT_EQ(Redatum(), "2026-12-01");
    EXPECT_EQ(Anzahl("SELECT HonrarNetto FROM Grunddatenprint"), 50000);
    EXPECT_EQ(Anzahl("SELECT Endbetrag FROM BeReListPrint"), 11600000);
    EXPECT_FALSE(projekt_->InTransaction());
}

TEST_F(RechnungsDruckTest, ARunCannotInterleaveWithOneOnAnotherConnection) {
    std::unique_ptr<db::Database> zweite = db::Database::Open(projekt_->Path());
    ASSERT_TRUE(zweite);
    db::Transaction offen(*zweite);
    zweite->Execute("DELETE FROM BeReListPrint");
    EXPECT_THROW(Baue(OhneBericht, 2, DM, QDate(2027, 1, 2)), DruckFehler);
    EXPECT_EQ(Redatum(), "2026-12-01");
}

TEST_F(RechnungsDruckTest, TheStatementFollowsThePlantGroups) {
    struct Fall {
        int gruppen;
        bool mitGruppen;
        const char* bericht;
        const char* titel;
        int64_t druckzeilen;
    };
    for (const Fall& c : {Fall{1, false, "VELUNTA4035.rpt", "Honorarermittlung", 1},
                          Fall{2, true, "VELUNTA4036.rpt", "Honorarermittlung für 2 Anlagengruppen", 2},
                          Fall{2, false, "VELUNTA4035.rpt", "Honorarermittlung", 1}}) {
        projekt_->Execute("DELETE FROM Grunddaten");
        projekt_->Execute("DELETE FROM Leistungsbild");
        for (int g = 1; g <= c.gruppen; ++g) {
            Gruppe(1, g,
                   {{"SummAnreKostAB1", Cy(g == 1 ? "500000" : "250000")},
                    {"HonrarNetto", Cy("62900")},
                    {"TeilleistDM8", Cy("20128")},
                    {"TotalDMLP8", Cy("20128")},
                    {"AnlageGrBez", "Gruppe " + std::to_string(g)}});
            Profil(1, g, c.mitGruppen);
        }
        Baue(MitBericht);
        EXPECT_EQ(dok_->Bericht(), c.bericht);
        const QString t = Text();
        EXPECT_TRUE(t.contains(QString::fromUtf8(c.titel))) << t.toStdString();
        EXPECT_TRUE(t.contains(QString::fromUtf8("20.128,00 DM"))) << t.toStdString();
        EXPECT_EQ(t.contains(QString::fromUtf8("250.000,00 DM")), c.mitGruppen) << t.toStdString();
        EXPECT_EQ(Anzahl("SELECT Count(*) FROM Grunddatenprint"), c.druckzeilen);
        // The stored rows of every group stay.
        EXPECT_EQ(Anzahl("SELECT Count(*) FROM Grunddaten"), c.gruppen);
        EXPECT_EQ(Anzahl("SELECT Count(*) FROM Leistungsbild"), c.gruppen);
    }
}

TEST_F(RechnungsDruckTest, WithoutField3000OrBasicDataNoStatementIsInserted) {
    Gruppe(1, 1, {{"HonrarNetto", Cy("62900")}});
    Baue(OhneBericht);
    EXPECT_EQ(dok_->Bericht(), "");
    EXPECT_FALSE(Text().contains("Honorarermittlung"));
    projekt_->Execute("DELETE FROM Grunddaten");
    Baue(MitBericht, 3);
    EXPECT_EQ(dok_->Bericht(), "");
}

TEST_F(RechnungsDruckTest, AnHourlyInvoiceGetsItsPositions) {
    Zeile("StdRePos", {{"REZuordnung", int64_t(1)},
                       {"PosNr", std::string("2")},
                       {"Leistung", std::string("Bauleitung")},
                       {"Menge", Cy("12.5")},
                       {"Satz", Cy("80")},
                       {"Summ", Cy("1000")}});
    Zeile("StdRePos", {{"REZuordnung", int64_t(1)},
                       {"PosNr", std::string("1")},
                       {"Leistung", std::string("Aufmaß")},
                       {"Menge", Cy("2")},
                       {"Satz", Cy("60")},
                       {"Summ", Cy("120")}});
    Baue(MitBericht, 5);
    EXPECT_EQ(dok_->Bericht(), "VELUNTA4037.rpt");
    const QString t = Text();
    for (const char* soll :
         {"Stundenlohnabrechnung", "Bauleitung", "12,50", "80,00 DM", "1.000,00 DM", "Aufmaß", "1.120,00"})
        EXPECT_TRUE(t.contains(QString::fromUtf8(soll))) << soll << "\n" << t.toStdString();
    EXPECT_LT(t.indexOf(QString::fromUtf8("Aufmaß")), t.indexOf("Bauleitung"));
}

TEST_F(RechnungsDruckTest, AStatementThatCannotRunStopsTheRunWithItsNumber) {
    Gruppe(1, 1, {{"HonrarNetto", Cy("5")}});
    const char* kopf = R"({"tables": [{"alias": "BeRelist", "table": "BeReListPrint"}], )";
    struct Fall {
        const char* datei;
        std::string inhalt;
        int art;
        const char* meldung;
    };
    const Fall faelle[] = {
        {"VELUNTA4035.rpt", "kein Bericht", 2, "Fehler bei ReportOpen #20500"},
        {"VELUNTA4035.rpt", std::string(kopf) + R"("bands": {}})", 2, "Fehler bei ReportOpen #20506"},
        {"VELUNTA4037.rpt", std::string(kopf) + R"("bands": {}})", 5, "Fehler bei SetFotmulars Formel #1"},
        {"VELUNTA4037.rpt",
         std::string(kopf) +
             R"("formulas": [{"name": "_WährungsZeichen", "text": "''"}], "bands": {"details": )"
             R"({"items": [{"type": "field", "value": "{BeRelist.Gibtsnicht}"}]}}})",
         5, "Fehler beim Anzeigen ( #20502"},
    };
    for (const Fall& c : faelle) {
        TestDir ordner;
        QFile f(QString::fromStdString((ordner / c.datei).string()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.inhalt.c_str());
        f.close();
        try {
            Baue(MitBericht, c.art, DM, QDate(2026, 12, 1), QString::fromStdString(ordner.Path().string()));
            ADD_FAILURE() << c.meldung;
        } catch (const DruckFehler& e) {
            EXPECT_EQ(e.text, c.meldung);
        }
        EXPECT_FALSE(projekt_->InTransaction());
    }
}

} // namespace
