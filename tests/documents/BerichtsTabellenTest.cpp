// The work tables of the project reports: open items and planning schedule of all projects, the invoiced fee
// per service phase of the current project and its formulas.
#include "documents/BerichtsTabellen.h"
#include "BerichtFixture.h"
#include "core/Money.h"
#include "documents/CRModul.h"
#include "platform/db/Recordset.h"
#include "platform/report/ReportFixture.h"

#include <functional>

using namespace velu;
using namespace berichte;

namespace {

struct OffenerPosten {
    QString projekt, nummer;
    int64_t offen, anders;
    int typ;
    bool operator==(const OffenerPosten&) const = default;
};

void PrintTo(const OffenerPosten& o, std::ostream* os) {
    *os << o.projekt.toStdString() << " " << o.nummer.toStdString() << " " << o.offen << "/" << o.anders
        << " " << o.typ;
}

// An invoice in euro with its DM twins: final amount and the payments on account it deducted.
void Euro(db::Database& d, int lfnr, const char* typ, int ursprung, const char* ende, const char* az = "0") {
    const Currency e = Currency::FromString(ende), a = Currency::FromString(az);
    d.Execute(
        "INSERT INTO BeReList (LfNr, REType, Ursprung, INPUTType, ReNummer, Endbetrag, AlDispEndbetrag, "
        "SummAz, AlDispSummAz) VALUES (?, ?, ?, 1, ?, ?, ?, ?, ?)",
        db::Params()
            .Add(int64_t(lfnr))
            .Add(std::string(typ))
            .Add(int64_t(ursprung))
            .Add(std::string(typ) + "-" + std::to_string(lfnr))
            .Add(e.Raw())
            .Add(DMEuroUmrechnung(e, 0).Raw())
            .Add(a.Raw())
            .Add(DMEuroUmrechnung(a, 0).Raw()));
}
void EuroZahlung(db::Database& d, int lfnr, int ursprung, const char* betrag) {
    const Currency b = Currency::FromString(betrag);
    d.Execute("INSERT INTO Zahlung (LfNrBeReList, Ursprung, Zahlung, AlDispZahlung) VALUES (?, ?, ?, ?)",
              db::Params()
                  .Add(int64_t(lfnr))
                  .Add(int64_t(ursprung))
                  .Add(b.Raw())
                  .Add(DMEuroUmrechnung(b, 0).Raw()));
}

std::vector<OffenerPosten> OffenePosten(db::Database& stamm) {
    std::vector<OffenerPosten> out;
    auto rs = stamm.OpenRecordset("SELECT * FROM Offeneposten ORDER BY LfNr");
    for (; !rs.EOF_(); rs.MoveNext())
        out.push_back({QString::fromStdString(rs.GetText("Projektnr")),
                       QString::fromStdString(rs.GetText("RechnungsNr")), rs.GetInt("DMOffen"),
                       rs.GetInt("AlternativOffen"), int(rs.GetInt("Inputtype"))});
    return out;
}

} // namespace

TEST(BerichtsTabellenTest, OpenItemsOfEveryProject) {
    struct Fall {
        const char* name;
        std::function<void(db::Database&)> daten;
        std::vector<OffenerPosten> soll;
    };
    const Fall faelle[] = {
        {"invoice with a payment",
         [](db::Database& d) {
             BerichtFixture::Berechnung(d, 5, "R", 40, "1000", "511.2919", 0, "R 2024/1");
             BerichtFixture::Zahlung(d, 5, "400", "204.5168");
         },
         {{"00000001", "R 2024/1", Cy("600"), Cy("306.78"), 0}}},
        // Owed in DM and converted once: no cent is left in euro.
        {"paid in DM, a rounding difference between the euro twins",
         [](db::Database& d) {
             BerichtFixture::Berechnung(d, 5, "R", 40, "1000", "511.2919");
             BerichtFixture::Zahlung(d, 5, "1000", "511.2918");
         },
         {}},
        {"paid in both currencies",
         [](db::Database& d) {
             BerichtFixture::Berechnung(d, 5, "R", 40, "1000", "511.2919");
             BerichtFixture::Zahlung(d, 5, "600", "306.7751");
             BerichtFixture::Zahlung(d, 5, "400", "204.5168");
         },
         {}},
        {"only offers and comparisons",
         [](db::Database& d) {
             BerichtFixture::Berechnung(d, 1, "A", 40, "1000", "511.2919");
             BerichtFixture::Berechnung(d, 2, "E", 40, "800", "409.0335");
             BerichtFixture::Berechnung(d, 3, "V", 41, "800", "409.0335");
         },
         {}},
        {"every invoice of a group that asks for payment, billed one by one, hourly invoices too",
         [](db::Database& d) {
             BerichtFixture::Berechnung(d, 1, "R", 40, "1000", "511.2919");
             BerichtFixture::Berechnung(d, 2, "R", 40, "300", "153.3876", 0, "R neu");
             BerichtFixture::Berechnung(d, 3, "A", 40, "999", "510.7803");
             BerichtFixture::Berechnung(d, 4, "S", 50, "100", "195.583", 1, "S 1");
         },
         {{"00000001", "R 1", Cy("1000"), Cy("511.29"), 0},
          {"00000001", "R neu", Cy("300"), Cy("153.39"), 0},
          {"00000001", "S 1", Cy("100"), Cy("195.58"), 1}}},
        {"a short payment billed again by the next invoice, which is paid in full under discount",
         [](db::Database& d) {
             Euro(d, 1, "R", 1, "11900");
             EuroZahlung(d, 1, 1, "11900");
             Euro(d, 2, "R", 1, "11900", "11900");
             EuroZahlung(d, 2, 1, "11400");
             Euro(d, 3, "R", 1, "12152", "23300");
             EuroZahlung(d, 3, 1, "12152");
             // An over payment taken over likewise.
             Euro(d, 4, "R", 4, "1000");
             EuroZahlung(d, 4, 4, "1100");
             Euro(d, 5, "R", 4, "900", "1100");
             EuroZahlung(d, 5, 4, "900");
         },
         {}},
        {"a payment that came after the take-over is counted against the invoice that stands for both",
         [](db::Database& d) {
             Euro(d, 1, "R", 1, "1000");
             EuroZahlung(d, 1, 1, "600");
             Euro(d, 2, "R", 1, "1400", "600");
             EuroZahlung(d, 1, 1, "400");
         },
         {{"00000001", "R-2", Cy("1000"), DMEuroUmrechnung(Currency::FromString("1000"), 0).Raw(), 1}}},
        {"a draft copy of the paid final invoice, carrying its payments on account, owes nothing",
         [](db::Database& d) {
             Euro(d, 1, "R", 1, "1000");
             EuroZahlung(d, 1, 1, "1000");
             Euro(d, 2, "R", 1, "500", "1000");
             EuroZahlung(d, 2, 1, "500");
             Euro(d, 3, "R", 1, "500", "1000");
         },
         {}},
        {"hourly invoices copied one from the other, and a draft copy not yet sent",
         [](db::Database& d) {
             Euro(d, 1, "S", 1, "1889.87");
             Euro(d, 2, "S", 1, "1181.07");
             Euro(d, 3, "S", 1, "1181.07");
         },
         {{"00000001", "S-1", Cy("1889.87"), Cy("3696.26"), 1},
          {"00000001", "S-2", Cy("1181.07"), Cy("2309.97"), 1},
          {"00000001", "S-3", Cy("1181.07"), Cy("2309.97"), 1}}},
        {"an unpaid site-supervision invoice asks for payment as an invoice does",
         [](db::Database& d) {
             BerichtFixture::Berechnung(d, 6, "B", 60, "14280", "27929.2524", 1, "B 1");
             BerichtFixture::Berechnung(d, 7, "V", 70, "500", "255.6459", 0, "V 1");
         },
         {{"00000001", "B 1", Cy("14280"), Cy("27929.25"), 1}}},
        {"a Null final amount counts as 0",
         [](db::Database& d) {
             BerichtFixture::Berechnung(d, 5, "R", 40, nullptr, "0");
             BerichtFixture::Zahlung(d, 5, "10", "5.1129");
         },
         {{"00000001", "R 5", Cy("-10"), Cy("-5.11"), 0}}},
    };
    for (const Fall& f : faelle) {
        BerichtFixture t;
        auto db = t.Projekt("00000001", "Kita");
        f.daten(*db);
        db.reset();
        // Listed without a folder, with an empty number, and with a number that leaves the projects folder.
        t.Projekt("00000009", "ohne Datenbank", {}, {});
        velu::outside::ProjektListe(t.umgebung.projekte).Eintragen("", "ohne Nummer");
        velu::outside::ProjektListe(t.umgebung.projekte).Eintragen("../00000001", "außerhalb");
        BerichtsTabellen w(*t.stamm, t.umgebung);
        const auto e = w.OffenepostenBagger();
        EXPECT_TRUE(e.ok) << f.name << e.fehler.toStdString();
        EXPECT_TRUE(e.uebersprungen.isEmpty()) << f.name;
        EXPECT_EQ(OffenePosten(*t.stamm), f.soll) << f.name;
    }
}

TEST(BerichtsTabellenTest, OpenItemsSkipAnUnreadableProjectAndNameIt) {
    BerichtFixture t;
    auto a = t.Projekt("00000001", "Kita", "00000001.pro", "VELUPRO32.MDB");
    BerichtFixture::Berechnung(*a, 5, "R", 40, "1000", "511.2919");
    a.reset();
    t.Projekt("00000002", "kaputt", {}, {});
    QFile f(t.ProjektPfad("00000002"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("kein SQLite");
    f.close();
    // Former rows go with the rebuild.
    t.stamm->Execute("INSERT INTO Offeneposten (Projektnr) VALUES ('alt')");
    BerichtsTabellen w(*t.stamm, t.umgebung);
    const auto e = w.OffenepostenBagger();
    EXPECT_TRUE(e.ok);
    EXPECT_EQ(e.uebersprungen, QStringList({"00000002"}));
    EXPECT_EQ(OffenePosten(*t.stamm),
              std::vector<OffenerPosten>({{"00000001", "R 5", Cy("1000"), Cy("511.29"), 0}}));
}

TEST(BerichtsTabellenTest, PlanningScheduleMapsTheProdatFields) {
    BerichtFixture t;
    t.Projekt("00000001", "Kita", {}, {});
    t.Projekt("00000002", "ohne Prodat", {}, {});
    t.Projekt("00000003", "Schule", "00000003.pro", {});
    velu::outside::ProjektListe(t.umgebung.projekte).Eintragen("", "ohne Nummer");
    std::vector<std::pair<int, QString>> felder = {{0, "  Neubau Kita  "}};
    for (int k = 160; k <= 170; ++k)
        felder.emplace_back(k, QString("Feld %1").arg(k));
    ASSERT_TRUE(outside::SchreibeProdatFelder(t.umgebung.projekte + "00000001.PRO/Prodat", felder));
    ASSERT_TRUE(
        outside::SchreibeProdatFelder(t.umgebung.projekte + "00000003.pro/PRODAT", {{163, "01.02.2024"}}));

    BerichtsTabellen w(*t.stamm, t.umgebung);
    ASSERT_TRUE(w.baggernVorplanung().ok);
    struct Spalte {
        const char* name;
        QString kita, ohne, schule;
    };
    const Spalte spalten[] = {
        {"Projektnr", "00000001", "00000002", "00000003"},
        {"Projektbez", "Kita", "ohne Prodat", "Schule"},
        {"Planungsbeginn", "Feld 163", "", "01.02.2024"},
        {"Baugesuch", "Feld 164", "", ""},
        {"Baubeginn", "Feld 167", "", ""},
        {"Rohbauabnahme", "Feld 168", "", ""},
        {"Schlussabnahme", "Feld 169", "", ""},
        {"Bezugsfertig", "Feld 170", "", ""},
        {"Bauvorhaben", "Neubau Kita", "", ""},
        {"Auftragsform", "Feld 160", "", ""},
        {"BV-Nr", "Feld 165", "", ""},
        {"Baugenenigung", "Feld 166", "", ""},
    };
    auto rs = t.stamm->OpenRecordset("SELECT * FROM Vorplanung ORDER BY Projektnr");
    ASSERT_EQ(rs.RecordCount(), 3);
    for (const QString Spalte::*p : {&Spalte::kita, &Spalte::ohne, &Spalte::schule}) {
        for (const Spalte& s : spalten)
            EXPECT_EQ(QString::fromStdString(rs.GetText(s.name)), s.*p) << s.name;
        rs.MoveNext();
    }
}

TEST(BerichtsTabellenTest, AFailedRebuildKeepsTheFormerRows) {
    BerichtFixture t;
    t.Projekt("00000001", "Kita", {}, {});
    t.Projekt("00000002", "Schule", {}, {});
    BerichtsTabellen w(*t.stamm, t.umgebung);
    ASSERT_TRUE(w.baggernVorplanung().ok);
    t.stamm->Execute("CREATE TRIGGER Fehler BEFORE INSERT ON Vorplanung WHEN NEW.Projektnr = '00000002' "
                     "BEGIN SELECT RAISE(ABORT, 'Platte voll'); END");
    t.Projekt("00000003", "neu", {}, {});
    const auto e = w.baggernVorplanung();
    EXPECT_FALSE(e.ok);
    EXPECT_TRUE(e.fehler.contains("Platte voll")) << e.fehler.toStdString();
    auto rs = t.stamm->OpenRecordset("SELECT Projektnr FROM Vorplanung ORDER BY Projektnr");
    EXPECT_EQ(rs.RecordCount(), 2);

    // Open items likewise.
    auto db = t.Projekt("00000004", "offen");
    BerichtFixture::Berechnung(*db, 5, "R", 40, "1000", "511.2919");
    t.stamm->Execute("INSERT INTO Offeneposten (Projektnr) VALUES ('alt')");
    t.stamm->Execute("CREATE TRIGGER FehlerOP BEFORE INSERT ON Offeneposten WHEN NEW.Projektnr <> 'alt' "
                     "BEGIN SELECT RAISE(ABORT, 'voll'); END");
    EXPECT_FALSE(w.OffenepostenBagger().ok);
    EXPECT_EQ(OffenePosten(*t.stamm).size(), 1u);
}

TEST(BerichtsTabellenTest, InvoicedFeesPerPhase) {
    ReportFixture f;
    db::Database& db = *f.db;
    // Invoice group 40: an older invoice and the latest, which took its payments over and bills its phases
    // again; phases from the basic data (two plant groups).
    BerichtFixture::Berechnung(db, 1, "R", 40, "0", "0");
    BerichtFixture::Berechnung(db, 2, "R", 40, "0", "0");
    db.Execute("UPDATE BeReList SET SummAz = 5000000 WHERE LfNr = 2");
    db.Execute("INSERT INTO Grunddaten (LfNrBeReList, TotalDMLP1, AlDispTotalDMLP1) VALUES (1, 99990000, 0)");
    db.Execute(
        "INSERT INTO Grunddaten (LfNrBeReList, TotalDMLP1, AlDispTotalDMLP1, TotalDMLP9, AlDispTotalDMLP9) "
        "VALUES (2, 10000000, 5112919, 20000, 10226)");
    db.Execute("INSERT INTO Grunddaten (LfNrBeReList, TotalDMLP1, AlDispTotalDMLP1) VALUES (2, 10000, 5113)");
    // Hourly invoice in euro, site supervision in DM, an offer that does not count.
    BerichtFixture::Berechnung(db, 3, "S", 50, "0", "0", 1, {}, "100", "195.583");
    BerichtFixture::Berechnung(db, 4, "B", 60, "0", "0", 0, {}, "50", "25.5646");
    BerichtFixture::Berechnung(db, 5, "A", 70, "0", "0", 0, {}, "7777", "3976.2658");
    // Copies of the hourly invoice, in either entry currency, count each.
    BerichtFixture::Berechnung(db, 6, "S", 50, "0", "0", 0, {}, "10", "5.1129");
    BerichtFixture::Berechnung(db, 7, "S", 50, "0", "0", 1, {}, "100", "195.583");

    BerichtFixture t;
    BerichtsTabellen w(*t.stamm, t.umgebung, &db);
    PhasenSummen dm{}, euro{};
    Currency dmGes, euroGes;
    w.BelegeProjAufwand(dm, euro, dmGes, euroGes);
    struct Slot {
        int i;
        const char* dm;
        const char* euro;
    };
    for (const Slot& s : {Slot{0, "50", "25.56"}, Slot{1, "1001", "511.80"}, Slot{2, "0", "0"},
                          Slot{9, "2", "1.02"}, Slot{10, "401.16", "205.11"}}) {
        EXPECT_EQ(dm[size_t(s.i)], Currency::FromString(s.dm)) << s.i;
        EXPECT_EQ(euro[size_t(s.i)], Currency::FromString(s.euro)) << s.i;
    }
    EXPECT_EQ(dmGes, Currency::FromString("1454.16"));
    EXPECT_EQ(euroGes, Currency::FromString("743.49"));
}

TEST(BerichtsTabellenTest, PhaseFormulasAndHiddenRows) {
    ReportFixture f;
    BerichtFixture::Berechnung(*f.db, 3, "S", 50, "0", "0", 1, {}, "100", "195.583");
    f.db->Execute("INSERT INTO Projektaufwand (PHzuordnung, HIDE) VALUES (4, -1)"); // left over
    QString formeln = "[";
    for (int i = 0; i <= 10; ++i)
        formeln += QString(R"({"name": "SummLp%1", "text": "0"},)").arg(i);
    formeln += R"({"name": "GesSummLp", "text": "0"}])";
    const QString pfad =
        f.Vorlage("f.rpt", R"({"tables": [{"alias": "Projektaufwand", "table": "Projektaufwand"}],
                                               "formulas": )" +
                               formeln + "}");
    BerichtFixture t;
    BerichtsTabellen w(*t.stamm, t.umgebung, f.db.get());
    for (bool dm : {true, false}) {
        CRModul cr{report::Umfeld{}};
        QString p = pfad;
        ASSERT_EQ(cr.CROpenReport(p), 0);
        w.ProjektaufwandInFORMEL(cr, dm);
        EXPECT_EQ(*cr.Report()->FormelText("SummLp10"), dm ? "195.58" : "100");
        EXPECT_EQ(*cr.Report()->FormelText("SummLp1"), "0");
        EXPECT_EQ(*cr.Report()->FormelText("GesSummLp"), dm ? "195.58" : "100");
        auto rs = f.db->OpenRecordset(
            "SELECT PHzuordnung FROM Projektaufwand WHERE HIDE <> 0 ORDER BY PHzuordnung");
        ASSERT_EQ(rs.RecordCount(), 11);
        for (int i = 0; i <= 10; ++i, rs.MoveNext())
            EXPECT_EQ(rs.GetInt("PHzuordnung"), i);
    }
    w.EntferneHilfszeilen();
    EXPECT_TRUE(f.db->OpenRecordset("SELECT * FROM Projektaufwand").Empty());
    EXPECT_EQ(BerichtsTabellen::FormelZahl(Currency::FromString("12.5")), "12.5");
    EXPECT_EQ(BerichtsTabellen::FormelZahl(Currency::FromString("-0.0001")), "-0.0001");
    EXPECT_EQ(BerichtsTabellen::FormelZahl(Currency{}), "0");
}
