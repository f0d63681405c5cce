// Dates entered in the project-data mask reach the planning-schedule report: the PDF row of the project
// carries each of them under its column.
#include "DruckausgabeFixture.h"
#include "platform/forms/MessageBox.h"
#include "platform/outside/ProjektDatenMaske.h"
#include "platform/outside/ProjektUmgebung.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QTableWidget>

using namespace velu;
using namespace berichte;

TEST(ProjektdatenVorplanung, TheDatesOfTheMaskArePrintedInTheProjectsRow) {
    if (!HatPdftotext()) GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    DruckausgabeFixture t;
    // A building number as offices write it is printed whole: its column breaks only at blanks.
    for (const char* bv : {"BV-77/25", "BV-2026/0815"}) {
        SCOPED_TRACE(bv);
        {
            outside::ProjektDatenMaske m(t.umgebung.projekte + "00000001.PRO/Prodat",
                                         outside::ProjektInfo{"00000001", "", "Kita Stadtpark", "", ""});
            m.Feld(160)->setText("Stufenvertrag");
            const char* termine[] = {"03.01.2025", "4.2.2025",   bv,           "05.03.2025",
                                     "06.04.2025", "07.05.2025", "08.06.2025", "09.07.2025"};
            for (int z = 0; z < 8; ++z)
                m.Termine()->item(z, 1)->setText(termine[z]);
            forms::MessageBoxScript boxen;
            ASSERT_TRUE(m.Speichern()) << boxen.LastText().toStdString();
        }
        CRModul cr{report::Umfeld{}};
        auto r = t.Routinen(cr);
        const QString pdf = QString::fromStdString((t.dir / "vorplanung.pdf").string());
        cr.SetDruckDatei(pdf);
        r->Dispatch(0, 6);
        EXPECT_TRUE(t.meldungen.isEmpty()) << t.meldungen.join("; ").toStdString();
        const QString text = PdfText(pdf);
        ASSERT_TRUE(text.contains("Vorplanungsliste")) << text.toStdString();
        // The project's row: each value a column of its own, none running into the next.
        QString zeile;
        for (const QString& z : text.split('\n'))
            if (z.trimmed().startsWith("00000001")) zeile = z;
        ASSERT_FALSE(zeile.isEmpty()) << text.toStdString();
        const QStringList woerter = zeile.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        for (const char* soll : {"Stufenvertrag", "03.01.2025", "04.02.2025", bv, "05.03.2025", "06.04.2025",
                                 "07.05.2025", "08.06.2025", "09.07.2025"})
            EXPECT_TRUE(woerter.contains(soll)) << soll << "\n" << zeile.toStdString();
        EXPECT_TRUE(zeile.contains("Kita Stadtpark")) << zeile.toStdString();
        EXPECT_TRUE(zeile.contains("Neubau Kita")) << zeile.toStdString();
        // In the order of the columns.
        EXPECT_LT(zeile.indexOf("03.01.2025"), zeile.indexOf("09.07.2025"));
    }
}
