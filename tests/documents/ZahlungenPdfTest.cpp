// The payments report of the register: per calculation its payments and what is still open, and one total in
// the currency chosen, printed into a PDF file.
#include "DruckausgabeFixture.h"

#include <QRegularExpression>

using namespace velu;
using namespace berichte;

TEST(ZahlungenPdfTest, ShowsPaymentsAndOpenAmountPerCalculationAndInTotal) {
    if (!HatPdftotext()) GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    DruckausgabeFixture t;
    CRModul cr{report::Umfeld{}};
    auto r = t.Routinen(cr);
    r->PrintMode2(13, 42, "R 2001/07", 40);
    const QString pdf = QString::fromStdString((t.dir / "zahlungen.pdf").string());
    cr.SetDruckDatei(pdf);
    r->Dispatch(0, -1);
    EXPECT_TRUE(t.meldungen.isEmpty()) << t.meldungen.join("; ").toStdString();
    const QString text = PdfText(pdf);
    // Lines in print order, each a pattern of one line of the page ("ff" may come out as its ligature): the
    // calculations, then the totals in the currency chosen.
    const char* zeilen[] = {
        R"(R 2001/05 .*Endbetrag +500,00 DM)",
        R"(Zahlungen +0,00 DM)",
        R"(O(ff|ﬀ)en +500,00 DM)",
        R"(R 2001/07 .*Endbetrag +1\.000,00 DM)",
        R"(01\.04\.2024 +Überweisung +400,00 DM)",
        R"(Zahlungen +400,00 DM)",
        R"(O(ff|ﬀ)en +600,00 DM)",
        // The hourly-rate invoice entered in euro is printed in DM, as its document would be.
        R"(S 2001/01 .*Endbetrag +226,88 DM)",
        R"(O(ff|ﬀ)en +226,88 DM)",
        R"(B 2001/01 .*Endbetrag +58,00 DM)",
        R"(O(ff|ﬀ)en +58,00 DM)",
        R"(Summe aller Zahlungen +400,00 DM)",
        // The offer of the fixture (7.777,00 DM) is billed by no one: nothing of it is open.
        R"(O(ff|ﬀ)en gesamt +1\.384,88 DM)",
    };
    qsizetype ab = 0;
    for (const char* z : zeilen) {
        const QRegularExpression muster(QString::fromUtf8(z), QRegularExpression::MultilineOption);
        const auto treffer = muster.match(text, ab);
        ASSERT_TRUE(treffer.hasMatch()) << z << "\n" << text.toStdString();
        ab = treffer.capturedEnd();
    }

    // Printed in euro there are no DM amounts, and every payment carries its sign.
    t.projekt->Execute("UPDATE BeReList SET INPUTType = 1");
    r->Fenster().dm = false;
    r->Dispatch(0, -1);
    const QString euro = PdfText(pdf);
    EXPECT_FALSE(euro.contains(QStringLiteral("DM"))) << euro.toStdString();
    EXPECT_TRUE(QRegularExpression(QString::fromUtf8("Überweisung +400,00 €")).match(euro).hasMatch())
        << euro.toStdString();
    EXPECT_EQ(euro.count(QStringLiteral("Summe aller Zahlungen")), 1) << euro.toStdString();
}
