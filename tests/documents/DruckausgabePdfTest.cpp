// The fifteen project reports printed by their routines with the delivered templates into PDF files.
#include "DruckausgabeFixture.h"
#include "platform/db/Recordset.h"
#include "platform/report/Ausgabe.h"

using namespace velu;
using namespace berichte;

TEST(DruckausgabePdfTest, EveryReportPrintsItsAmounts) {
    if (!HatPdftotext()) GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    struct Fall {
        int index;
        bool dm;
        std::vector<const char*> soll, nicht;
    };
    const Fall faelle[] = {
        {0,
         true,
         {"Projektaufwand nach Leistungsphasen", "Projekt 00000001 Kita Stadtpark", "Neubau Kita",
          "Stadt Neustadt", "Druckdatum:", "24.12.2024", "extern DM", "Leistungsphase 1", "Leistungsphase 2",
          "Keine Zuordnung", "Summe Keine Zuordnung", "Stundenlohnarbeiten", "800,00", "586,75", "391,17",
          "Summe Leistungsphase 1", "1.786,75", "1.141,17", "Seite 1 von 1"},
         {"409,03", "Örtliche Bauüberwachung"}},
        {0, false, {"extern €", "409,03", "300,00", "913,55", "583,47"}, {"586,75"}},
        {1,
         true,
         {"Projektaufwand nach Mitarbeitern", "Summe Meier", "1.040,00", "650,00", "Summe Schulz", "746,75"},
         {}},
        {2, true, {"intern DM", "500,00", "391,17", "1.141,17"}, {"800,00", "extern"}},
        {3, true, {"extern DM", "800,00", "1.786,75"}, {"500,00", "intern"}},
        // R 2001/07 did not take the payments of R 2001/05 over: both ask for payment.
        {4,
         true,
         {"Posten", "Druckdatum:", "24.12.2024", "Projekt 00000001 Kita Stadtpark", "R 2001/05", "500,00",
          "255,65", "R 2001/07", "600,00", "306,78", "S 2001/01", "226,88", "116,00", "B 2001/01", "58,00",
          "29,66", "Projekt 00000002 Schule Nord", "2.000,00", "1.022,58", "3.384,88", "1.730,67"},
         {"Angebot"}},
        {5,
         true,
         {"Honorar / Aufwand", "Leistungsphase 1", "300,00", "-500,00", "-386,75", "Stundenlohnarbeiten",
          "195,58", "35,58", "Keine Zuordnung", "-190,00", "745,58", "-1.041,17"},
         {"Örtliche Bauüberwachung"}},
        {5, false, {"Honorar €", "153,39", "100,00", "25,56"}, {}},
        {6,
         true,
         {"Vorplanungsliste", "00000001", "Kita Stadtpark", "01.02.2024", "Neubau Kita", "Schule Nord"},
         {}},
        {7, true, {"Mitarbeiterliste", "Meier", "80,00", "120,00", "40,90", "61,36"}, {}},
        {8, true, {"Grunddatenliste", "Besprechung", "50,00", "90,00", "46,02"}, {}},
        {9, true, {"Projektaufwand nach Mitarbeitern intern", "Summe Meier", "650,00"}, {"1.040,00"}},
        {10, true, {"Projektaufwand nach Mitarbeitern extern", "Summe Meier", "1.040,00"}, {"650,00"}},
        {11,
         true,
         {"Anrechenbare Kosten", "R 2001/07", "Anlagegruppe 1", "Kostenabschnitt 1", "Bauwerk", "500.000,00",
          "Technische Anlagen", "150.000,00", "650.000,00", "20.000,00"},
         {"frühere Kosten"}},
        {12,
         true,
         {"Abschlagsrechnungen", "zur Rechnung R 2001/07", "R 2001/05", "500,00", "1.000,00", "1.500,00"},
         {"Angebot", "S 2001/01"}},
        {13, true, {"Zahlungen", "R 2001/07", "Überweisung", "01.04.2024", "400,00", "1.000,00"}, {}},
        {14,
         true,
         {"Zuschläge nach Leistungsphasen", "Anlagegruppe 1", "Gebäude", "Leistungsphase 1", "280,00", "7,14",
          "20,00", "300,00", "200,00", "500,00"},
         {}},
    };
    DruckausgabeFixture t;
    // The engine reports every text that would not fit its field.
    QStringList abgeschnitten;
    report::AbschneideMelder() = [&](const report::DisplayItem& it, const QSizeF& noetig) {
        abgeschnitten << QStringLiteral("\"%1\" in %2 x %3 mm braucht %4 x %5 mm")
                             .arg(it.text)
                             .arg(it.rect.width())
                             .arg(it.rect.height())
                             .arg(noetig.width())
                             .arg(noetig.height());
    };
    for (const Fall& f : faelle) {
        abgeschnitten.clear();
        const std::string name = "Bericht " + std::to_string(f.index) + (f.dm ? " DM" : " EUR");
        CRModul cr{report::Umfeld{}};
        auto r = t.Routinen(cr, f.dm);
        if (f.index >= 11) r->PrintMode2(f.index, 42, "R 2001/07", 40);
        const QString pdf =
            QString::fromStdString((t.dir / ("b" + std::to_string(f.index) + ".pdf")).string());
        cr.SetDruckDatei(pdf);
        t.meldungen.clear();
        r->Dispatch(0, f.index <= 10 ? f.index : -1);
        EXPECT_TRUE(t.meldungen.isEmpty())
            << name << ": " << t.meldungen.join("; ").toStdString() << " " << cr.Fehlertext().toStdString();
        const QString text = PdfText(pdf);
        for (const char* s : f.soll)
            EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << name << ": " << s << "\n"
                                                             << text.toStdString();
        for (const char* s : f.nicht)
            EXPECT_FALSE(text.contains(QString::fromUtf8(s))) << name << ": " << s;
        EXPECT_TRUE(abgeschnitten.isEmpty()) << name << ": " << abgeschnitten.join("\n").toStdString();
    }
    report::AbschneideMelder() = nullptr;
    EXPECT_TRUE(t.projekt->OpenRecordset("SELECT * FROM Projektaufwand WHERE HIDE <> 0").Empty());
}

// A template handed over by a co-worker that stops the run: the clerk is told which template and why.
TEST(DruckausgabePdfTest, ATemplateThatStopsTheRunIsNamedWithTheReason) {
    DruckausgabeFixture t;
    const QString ordner = QString::fromStdString((t.dir / "Berichte").string());
    ASSERT_TRUE(QDir().mkpath(ordner));
    for (const QFileInfo& fi : QDir(GelieferteBerichte()).entryInfoList({"*.rpt"}, QDir::Files))
        ASSERT_TRUE(QFile::copy(fi.absoluteFilePath(), ordner + "/" + fi.fileName()));
    CRModul cr{report::Umfeld{}};
    auto r = t.Routinen(cr);
    r->Laden(ordner);
    const QString datei = r->Datei(4);
    QStringList formeln;
    for (int i = 0; i < 40; ++i)
        formeln << QString(R"({"name": "f%1", "text": "{@f%2} & {@f%2}"})").arg(i).arg(i + 1);
    formeln << R"({"name": "f40", "text": "'x'"})";
    QFile f(ordner + "/" + datei);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QString(R"({"tables": [{"alias": "Offeneposten", "table": "Offeneposten"}], "formulas": [%1],
        "bands": {"details": {"height": 5, "items": [{"type": "formula", "name": "f0", "width": 60}]}}})")
                .arg(formeln.join(", "))
                .toUtf8());
    f.close();
    cr.SetDruckDatei(QString::fromStdString((t.dir / "stopp.pdf").string()));
    r->Dispatch(0, 4);
    ASSERT_EQ(t.meldungen.size(), 1);
    EXPECT_TRUE(t.meldungen[0].startsWith("Fehler beim Anzeigen ( #")) << t.meldungen[0].toStdString();
    EXPECT_TRUE(t.meldungen[0].contains(")\n" + datei + ": Der Text ist zu lang (mehr als 1.048.576 Zeichen)"))
        << t.meldungen[0].toStdString();
}
