#include "documents/Druckausgabe.h"

#include "documents/BerichtsTabellen.h"
#include "documents/CRModul.h"
#include "platform/report/ReportFehler.h"
#include "register/Payments.h"

#include <QLocale>
#include <cmath>

namespace velu {

namespace {

const char* const Vorlagen[Druckausgabe::AnzahlBerichte] = {
    "VELUNTA4011.rpt", "VELUNTA4012.rpt", "VELUNTA4013.rpt", "VELUNTA4014.rpt", "VELUNTA4015.rpt",
    "VELUNTA4016.rpt", "VELUNTA4017.rpt", "VELUNTA4018.rpt", "VELUNTA4019.rpt", "VELUNTA4020.rpt",
    "VELUNTA4021.rpt", "VELUNTA4033.rpt", "VELUNTA4030.rpt", "VELUNTA4031.rpt", "VELUNTA4032.rpt"};
// Reports 4, 6, 7 and 8 read the master database, the others the project database.
bool AusStammdaten(int index) {
    return index == 4 || index == 6 || index == 7 || index == 8;
}

const QString ReportOpenFehler = QStringLiteral("Fehler bei ReportOpen #");
const QString FormelFehler = QStringLiteral("Fehler bei SetFotmulars Formel #");
const QString AnzeigeFehler = QStringLiteral("Fehler beim Anzeigen ( #");
const QString NichtGelesen = QStringLiteral("Diese Projekte konnten nicht gelesen werden: ");

// Runs on every way out of its scope.
template <class F> struct AmEnde {
    F f;
    ~AmEnde() { f(); }
};
template <class F> AmEnde(F) -> AmEnde<F>;

} // namespace

const std::array<QString, 11> Druckausgabe::OptionCaptions = {
    QStringLiteral("Projektaufwand nach Leistungsphasen"),
    QStringLiteral("Projektaufwand nach Mitarbeitern"),
    QStringLiteral("Projektaufwand nach Leistungsphasen intern"),
    QStringLiteral("Projektaufwand nach Leistungsphasen extern "),
    QStringLiteral("offene Posten "),
    QStringLiteral("Honorar / Aufwand"),
    QStringLiteral("Vorplanungsliste"),
    QStringLiteral("Mitarbeiterliste"),
    QStringLiteral("Grunddatenliste"),
    QStringLiteral("Projektaufwand nach Mitarbeitern intern"),
    QStringLiteral("Projektaufwand nach Mitarbeitern extern"),
};

Druckausgabe::Druckausgabe(CRModul& cr, Quellen quellen) : cr_(cr), q_(std::move(quellen)) {
    for (QString& k : kopf_)
        k = QStringLiteral("''");
}

void Druckausgabe::Laden(const QString& reportOrdner) {
    if (q_.umgebung) kopf_ = AllProjektinfo(*q_.umgebung);
    reportOrdner_ = reportOrdner;
    InItPrints();
}

void Druckausgabe::InItPrints() {
    for (int i = 0; i < AnzahlBerichte; ++i) {
        dateien_[size_t(i)] = QString::fromLatin1(Vorlagen[i]);
        pfade_[size_t(i)] = AusStammdaten(i) ? q_.stammPfad : q_.projektPfad;
    }
}

void Druckausgabe::PrintMode2(int index, int64_t lfnr, const QString& nummer, int64_t ursprung) {
    preset_ = index;
    lfnr_ = lfnr;
    nummer_ = nummer;
    ursprung_ = ursprung;
}

int Druckausgabe::wasIstZUDrucken(int gewaehlteOption) const {
    if (preset_ != 0) return preset_;
    return gewaehlteOption >= 0 && gewaehlteOption <= 10 ? gewaehlteOption : 0;
}

QString Druckausgabe::AuswahlEineBerechnung(int64_t lfnr) {
    return QStringLiteral("{BeReList.LfNr}= ") + QString::number(lfnr);
}

QString Druckausgabe::AuswahlAbschlaege(int64_t lfnr, int64_t ursprung) {
    return QStringLiteral("{BeReList.LfNr}<= ") + QString::number(lfnr) +
           QStringLiteral(" and not ({BeReList.REType} in ['A', 'V']) and {BeReList.Ursprung} = ") +
           QString::number(ursprung);
}

int Druckausgabe::Kopien(const QString& text) {
    bool ok = false;
    double n = QLocale(QLocale::German, QLocale::Germany).toDouble(text.trimmed(), &ok);
    if (!ok) n = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(n)) return 1;
    const double r = std::nearbyint(n);
    return r < 1 ? 1 : r > 32767 ? 32767 : int(r);
}

int Druckausgabe::SetCommReportFields() {
    static const char* const namen[8] = {"Vorhaben1", "Vorhaben2", "Vorhaben3",          "Bauherr1",
                                         "Bauherr2",  "Bauherr3",  "Projektbezeichnung", "Projektnummer"};
    NamenUndWerte f;
    for (int i = 0; i < 8; ++i)
        f.emplace_back(QString::fromLatin1(namen[i]), kopf_[size_t(i + 1)]);
    return cr_.CRSetFormula(f);
}

void Druckausgabe::AusgabeWährung() {
    cr_.CRSetFormula(
        {{QStringLiteral("_InWaehrung"), dialog_.dm ? QStringLiteral("0") : QStringLiteral("1")}});
}

void Druckausgabe::Melde(const QString& text) {
    if (dialog_.melden) dialog_.melden(text);
}

bool Druckausgabe::Oeffne(int index) {
    offen_ = dateien_[size_t(index)];
    QString pfad = reportOrdner_ + QLatin1Char('/') + offen_;
    const long rc = cr_.CROpenReport(pfad);
    if (rc != 0) {
        Melde(ReportOpenFehler + QString::number(rc));
        return false;
    }
    return true;
}

bool Druckausgabe::Tabelle(int index, const QString& tabelle) {
    const int rc = cr_.CRSetTableLocations({{tabelle, pfade_[size_t(index)]}});
    if (rc != 0) Melde(AnzeigeFehler + QString::number(rc));
    return rc == 0;
}

bool Druckausgabe::GemeinsameFelder() {
    const int rc = SetCommReportFields();
    if (rc != 0) Melde(FormelFehler + QString::number(rc));
    return rc == 0;
}

bool Druckausgabe::Ausgabe(int mode, int flagA, int flagB, const QString& titel, qint64 sechster,
                           bool warten) {
    int rc;
    if (mode == 1) {
        rc = cr_.CRPreview(titel, 0, 0, sechster);
        if (rc == 0 && warten && dialog_.warten) dialog_.warten();
    } else {
        int kopien = Kopien(dialog_.kopien);
        rc = cr_.CRPrintOut(flagA, flagB, kopien);
        // A print job the user cancelled is no error.
        if (rc == report::DruckAbgebrochen) rc = 0;
    }
    if (rc != 0) Melde(AnzeigeFehler + QString::number(rc) + Ursache());
    return rc == 0;
}

QString Druckausgabe::Ursache() const {
    // The engine's own text says why a run stopped; the clerk learns which template to hand on.
    if (cr_.Fehlertext().isEmpty()) return {};
    return QStringLiteral(")\n%1: %2").arg(offen_, cr_.Fehlertext());
}

void Druckausgabe::Dispatch(int mode, int gewaehlteOption) {
    const int index = wasIstZUDrucken(gewaehlteOption);
    switch (index) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 9:
    case 10:
        CallProjektaufwandnachLP(mode, 0, 0, index);
        break;
    case 4:
        CallProjektOffenePosten(mode, 0, 0, index);
        break;
    case 5:
        CallAufwand_Honorar(mode, 0, 0, index);
        break;
    case 6:
    case 7:
    case 8:
        CallVorplanungsliste(mode, 0, 0, index);
        break;
    case 11:
        CallAnrechenbareKosten(mode, 0, 0);
        break;
    case 12:
        CallPrintAZ(mode, 0, 0);
        break;
    case 13:
        CallPrintZahlungen(mode, 0, 0);
        break;
    case 14:
        CallPrintZULP(mode, 0, 0);
        break;
    default:
        break;
    }
}

void Druckausgabe::CallProjektaufwandnachLP(int mode, int flagA, int flagB, int index) {
    if (!Oeffne(index)) return;
    AmEnde freigeben{[this] { cr_.CRRelease(); }};
    if (!GemeinsameFelder()) return;
    AusgabeWährung();
    cr_.CRSetDatum(dialog_.datum);
    if (!Tabelle(index, QStringLiteral("Projektaufwand"))) return;
    Ausgabe(mode, flagA, flagB, OptionCaptions[size_t(index)], dialog_.fenster, true);
}

void Druckausgabe::CallAufwand_Honorar(int mode, int flagA, int flagB, int index) {
    if (!q_.stamm || !q_.umgebung || !Oeffne(index)) return;
    BerichtsTabellen t(*q_.stamm, *q_.umgebung, q_.projekt);
    // The hidden rows go again on every way out; the report is released before, so it reads none afterwards.
    AmEnde aufraeumen{[this, &t] {
        cr_.CRRelease();
        try {
            t.EntferneHilfszeilen();
        } catch (const std::exception& x) {
            Melde(QString::fromUtf8(x.what()));
        }
    }};
    t.ProjektaufwandInFORMEL(cr_, dialog_.dm);
    if (!GemeinsameFelder()) return;
    AusgabeWährung();
    cr_.CRSetDatum(dialog_.datum);
    if (!Tabelle(index, QStringLiteral("Projektaufwand"))) return;
    Ausgabe(mode, flagA, flagB, OptionCaptions[size_t(index)], dialog_.fenster, true);
}

void Druckausgabe::CallProjektOffenePosten(int mode, int flagA, int flagB, int index) {
    if (!q_.stamm || !q_.umgebung) return;
    BerichtsTabellen t(*q_.stamm, *q_.umgebung, q_.projekt);
    const BerichtsTabellen::Ergebnis e = t.OffenepostenBagger();
    if (!e.ok) Melde(e.fehler);
    if (!e.uebersprungen.isEmpty()) Melde(NichtGelesen + e.uebersprungen.join(QStringLiteral(", ")));
    if (!Oeffne(index)) return;
    AmEnde freigeben{[this] { cr_.CRRelease(); }};
    cr_.CRSetDatum(dialog_.datum);
    if (!Tabelle(index, QStringLiteral("Offeneposten"))) return;
    Ausgabe(mode, flagA, flagB, OptionCaptions[size_t(index)], dialog_.fenster, true);
}

void Druckausgabe::CallVorplanungsliste(int mode, int flagA, int flagB, int index) {
    if (!q_.stamm || !q_.umgebung) return;
    if (index == 6) {
        BerichtsTabellen t(*q_.stamm, *q_.umgebung, q_.projekt);
        const BerichtsTabellen::Ergebnis e = t.baggernVorplanung();
        if (!e.ok) Melde(e.fehler);
    }
    if (!Oeffne(index)) return;
    AmEnde freigeben{[this] { cr_.CRRelease(); }};
    cr_.CRSetDatum(dialog_.datum);
    const QString tabelle = index == 6   ? QStringLiteral("VORPLANUNG")
                            : index == 7 ? QStringLiteral("Mitarbeiter")
                                         : QStringLiteral("AufwandVerz");
    if (!Tabelle(index, tabelle)) return;
    Ausgabe(mode, flagA, flagB, OptionCaptions[size_t(index)], dialog_.fenster, true);
}

void Druckausgabe::Preset(int mode, int flagA, int flagB, const QString& tabelle, const QString& auswahl,
                          bool reNummer, const NamenUndWerte& formeln) {
    // The preview stays open with the dialog; the report is released when the dialog unloads.
    if (!Oeffne(preset_)) return;
    cr_.CRSetDatum(dialog_.datum);
    if (!auswahl.isEmpty()) cr_.CRSetSelection(auswahl);
    if (!GemeinsameFelder()) return;
    AusgabeWährung();
    if (!Tabelle(preset_, tabelle)) return;
    if (reNummer)
        cr_.CRSetFormula({{QStringLiteral("ReNummer"), QLatin1Char('\'') + nummer_ + QLatin1Char('\'')}});
    // A template of its own without these formulas prints as before.
    if (!formeln.empty()) cr_.CRSetFormula(formeln);
    Ausgabe(mode, flagA, flagB, dialog_.caption, 0, false);
}

void Druckausgabe::CallAnrechenbareKosten(int mode, int flagA, int flagB) {
    Preset(mode, flagA, flagB, QStringLiteral("AnrechenbareKosten"), AuswahlEineBerechnung(lfnr_), false);
}

void Druckausgabe::CallPrintAZ(int mode, int flagA, int flagB) {
    Preset(mode, flagA, flagB, QStringLiteral("BeReList"), AuswahlAbschlaege(lfnr_, ursprung_), true);
}

void Druckausgabe::CallPrintZahlungen(int mode, int flagA, int flagB) {
    NamenUndWerte formeln;
    if (q_.projekt) {
        try {
            formeln = Zahlungsformeln(*q_.projekt, dialog_.dm);
        } catch (const std::exception& x) {
            Melde(QString::fromUtf8(x.what()));
            return;
        }
    }
    Preset(mode, flagA, flagB, QStringLiteral("BeReList"), QString(), false, formeln);
}

NamenUndWerte Druckausgabe::Zahlungsformeln(db::Database& projekt, bool dm) {
    QStringList abgeloest;
    QString nachtrag = QStringLiteral("0");
    for (const reg::Forderung& f : reg::Forderungen(projekt)) {
        if (f.abgeloest) abgeloest << QString::number(f.lfnr);
        const Currency n = f.Nachtrag(dm ? 0 : 1);
        if (!f.abgeloest && n != Currency{})
            nachtrag = QStringLiteral("if {BeReList.LfNr} = %1 then %2 else %3")
                           .arg(f.lfnr)
                           .arg(BerichtsTabellen::FormelZahl(n), nachtrag);
    }
    return {{QStringLiteral("Abgeloest"),
             abgeloest.isEmpty() ? QStringLiteral("false")
                                 : "{BeReList.LfNr} in [" + abgeloest.join(QStringLiteral(", ")) + "]"},
            {QStringLiteral("Nachtrag"), nachtrag}};
}

void Druckausgabe::CallPrintZULP(int mode, int flagA, int flagB) {
    Preset(mode, flagA, flagB, QStringLiteral("BeReList"), AuswahlEineBerechnung(lfnr_), false);
}

} // namespace velu
