#include "documents/RechnungsDruck.h"

#include "core/Money.h"
#include "documents/SbRoutienen.h"
#include "platform/db/Database.h"
#include "platform/db/QueryDef.h"
#include "platform/richtext/ScribantPro.h"

#include <QFont>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace velu::documents {

namespace {

struct Drucktabelle {
    const char* leeren;
    const char* fuellen;
    // Amounts of the print table without a twin: converted when the other currency is printed.
    std::vector<std::string> ohneZwilling;
    const char* tabelle;
};

const std::vector<Drucktabelle>& Drucktabellen() {
    static const std::vector<Drucktabelle> t = [] {
        std::vector<std::string> grunddaten;
        for (const char* stamm : {"AnreKostAB", "AnreKostFremdAB", "SummAnreKostAB"})
            for (int i = 1; i <= 3; ++i)
                grunddaten.push_back(stamm + std::to_string(i));
        return std::vector<Drucktabelle>{
            {"KillBeRelistPrint", "TOBerelistPrint", {"KOST57"}, "BeReListPrint"},
            {"KillGrunddatPrint", "ToGrunddatPrint", grunddaten, "Grunddatenprint"},
            {"KillZuBerNettoPrint", "ToZuBerNettoPrint", {}, "ZuBerNettoPrint"},
            {"KillZuBruttoPrint", "ToZuBruttoPrint", {}, "ZuBruttoPrint"},
            {"KillZuNettoPrint", "ToZuNettoPrint", {}, "ZuNettoPrint"},
            {"KillStdRePosPrint", "ToStdRePosPrint", {"interSatz", "interSumm"}, "StdRePosPrint"},
        };
    }();
    return t;
}

// The sign formula of the statements: the blank before the sign does not break the line.
QString Zeichenformel(QString zeichen) {
    if (zeichen.startsWith(QLatin1Char(' '))) zeichen[0] = QChar(0x00A0);
    return "'" + zeichen + "'";
}

// The print copy of the base-fee surcharges holds the statement's lines: per plant group each row's
// ZuAbDM becomes the amount it charges (its percentage of the phases' sum plus its fixed amount), and the
// rows add up to what the chain charged; a surcharge without rows gets one row. Only the print copy changes.
void ZuschlagszeilenDerHonorarermittlung(db::Database& projekt) {
    db::Recordset g = projekt.OpenRecordset(
        "SELECT LfNrBeReList, AnlageGruppe, HonrarNetto, HonorarBerNetto, SummZuNettoPro FROM Grunddatenprint");
    for (; !g.Empty() && !g.EOF_(); g.MoveNext()) {
        const int64_t lfnr = g.GetInt("LfNrBeReList"), gruppe = g.GetInt("AnlageGruppe");
        const Currency basis = GetCY(g, "HonrarNetto");
        const Currency gesamt = RundCY(GetCY(g, "HonorarBerNetto")) - RundCY(basis);
        db::Recordset z = projekt.OpenRecordset(
            "SELECT * FROM ZuNettoPrint WHERE LfNrBeReList = ? AND ZuordnungAnlGrp = ? ORDER BY LfNr",
            db::Params().Add(lfnr).Add(gruppe));
        std::vector<Zuschlagsreihe> reihen;
        for (; !z.Empty() && !z.EOF_(); z.MoveNext())
            reihen.push_back({GetCY(z, "ZuAbPro"), GetCY(z, "ZuAbDM")});
        if (reihen.empty()) {
            if (gesamt != Currency())
                projekt.Execute("INSERT INTO ZuNettoPrint (LfNrBeReList, ZuordnungAnlGrp, Bezeichnung, ZuAbPro, "
                                "ZuAbDM) VALUES (?, ?, '', ?, ?)",
                                db::Params().Add(lfnr).Add(gruppe).Add(GetCY(g, "SummZuNettoPro").Raw()).Add(
                                    gesamt.Raw()));
            continue;
        }
        const std::vector<Currency> anteile = Zuschlagsanteile(reihen, basis, gesamt);
        size_t i = 0;
        for (z.MoveFirst(); !z.EOF_(); z.MoveNext(), ++i) {
            z.Edit();
            SetCY(z, "ZuAbDM", anteile[i]);
            z.Update();
        }
    }
}

QString Nummer(const char* text, int n) {
    return QString::fromUtf8(text) + QString::number(n);
}

} // namespace

QString TransDM(db::Database& projekt, int64_t lfnr, int eingabe, int waehrung) {
    for (const auto& t : Drucktabellen())
        projekt.StoredQuery(t.leeren).Execute();
    const bool andere = waehrung != eingabe;
    for (const auto& t : Drucktabellen()) {
        db::QueryDef q = projekt.StoredQuery(std::string(t.fuellen) + (andere ? "AlDisp" : ""));
        q.SetParameter("Lfnr", lfnr);
        q.Execute();
        if (!andere || t.ohneZwilling.empty()) continue;
        // DM to euro divides, euro to DM multiplies.
        const int richtung = waehrung == DM ? 0 : 1;
        db::Recordset rs = projekt.OpenRecordset(std::string("SELECT * FROM ") + t.tabelle);
        for (; !rs.Empty() && !rs.EOF_(); rs.MoveNext()) {
            rs.Edit();
            for (const auto& f : t.ohneZwilling)
                if (!rs.IsNull(f)) SetCY(rs, f, DMEuroUmrechnung(GetCY(rs, f), richtung));
            rs.Update();
        }
    }
    ZuschlagszeilenDerHonorarermittlung(projekt);
    return waehrung == DM ? QStringLiteral(" DM") : QStringLiteral(" €");
}

RechnungsDokument::RechnungsDokument(richtext::ScribantPro& control, db::Database& projekt, CRModul& cr,
                                     outside::ProjektUmgebung& umgebung, QString reportOrdner)
    : control_(control), projekt_(projekt), cr_(cr), felder_(control), text_(projekt, felder_, umgebung),
      ordner_(std::move(reportOrdner)) {}

void RechnungsDokument::TriggerBaueText(int64_t lfnr, const QString& zeichen, int art, const QString& datum) {
    lfnr_ = lfnr;
    zeichen_ = zeichen;
    bericht_.clear();
    text_.Setze(lfnr, zeichen, art);
    if (!text_.BaueRechnungsText(datum)) throw DruckFehler(KeinDrucksatz);
    // One table row per invoice of a summary: a wrapped description keeps its amount beside it.
    if (text_.Summenmodus()) control_.SplitTableRowLines(3052);
    // Each totals line a paragraph of its own: right-aligned amounts are measured per line.
    if (control_.SplitFieldLines(SummenFeld)) HebeEndbetragHervor();
    // The greeting and the signature never start a page on their own.
    control_.KeepClosingTogether();
    if (!FindeReportPosition()) return;
    if (art == 5)
        FuegeStdReportEin();
    else
        FuegeHonorarReportEin();
    HonorarNettoEinmal();
}

// The fee statement ends with the net fee, and the totals below start with it: where the two meet the
// line stands once, the statement's, and the totals go on from it.
void RechnungsDokument::HonorarNettoEinmal() {
    QTextDocument* d = control_.Document(richtext::ScribantPro::Body);
    const QString netto = QStringLiteral("Honorar netto");
    for (QTextBlock b = d->begin(); b.isValid(); b = b.next()) {
        if (!b.text().startsWith(netto + QLatin1Char('\t'))) continue;
        // The statement's last row before it: its label and amount, perhaps in cells of their own.
        QTextCursor davor(d);
        davor.setPosition(std::max(0, b.position() - 300));
        davor.setPosition(b.position(), QTextCursor::KeepAnchor);
        static const QRegularExpression trenner(
            QStringLiteral("[\\x{2029}\\x{2028}\\n\\t\\x{FDD0}\\x{FDD1}]"));
        QStringList teile;
        for (const QString& t : davor.selectedText().replace(QChar(0x00A0), QLatin1Char(' ')).split(trenner))
            if (!t.trimmed().isEmpty()) teile << t.trimmed();
        const QString betrag =
            b.text().section(QLatin1Char('\t'), -1).replace(QChar(0x00A0), QLatin1Char(' ')).trimmed();
        const qsizetype n = teile.size();
        const bool gleich = n >= 1 && teile[n - 1].endsWith(betrag) &&
                            (teile[n - 1].startsWith(netto) || (n >= 2 && teile[n - 2].startsWith(netto)));
        if (!gleich) continue;
        // The totals go on right below it, without the empty lines that parted the two blocks.
        QTextBlock von = b;
        while (von.previous().isValid() && von.previous().text().trimmed().isEmpty() &&
               !QTextCursor(von.previous()).currentTable())
            von = von.previous();
        QTextCursor c(von);
        c.setPosition(b.next().isValid() ? b.next().position() : b.position() + b.length() - 1,
                      QTextCursor::KeepAnchor);
        c.removeSelectedText();
        return;
    }
}

// The line of the final amount in bold, as the client looks for it.
void RechnungsDokument::HebeEndbetragHervor() {
    QTextDocument* d = control_.Document(richtext::ScribantPro::Body);
    const QString ende = QStringLiteral("Endbetrag\t");
    for (QTextBlock b = d->begin(); b.isValid(); b = b.next()) {
        if (!b.text().startsWith(ende)) continue;
        QTextCursor c(d);
        c.setPosition(b.position());
        c.setPosition(b.position() + b.length() - 1, QTextCursor::KeepAnchor);
        QTextCharFormat fett;
        fett.setFontWeight(QFont::Bold);
        c.mergeCharFormat(fett);
    }
}

bool RechnungsDokument::FindeReportPosition() {
    control_.SetContext(richtext::ScribantPro::Body);
    if (control_.FindField(1, true, {1, 3000}) != 3000) return false;
    return control_.GoToFoundField(0);
}

int RechnungsDokument::AnlageGruppenanzahl() {
    db::Recordset rs = projekt_.OpenRecordset("SELECT AnlageGruppe FROM Grunddatenprint");
    int anzahl = rs.RecordCount();
    if (anzahl > 1) {
        db::Recordset lb = projekt_.OpenRecordset(
            "SELECT MitAnLageGrp FROM Leistungsbild WHERE LfNrBeReList = ? AND ZuordnungAnlGrp = 1",
            db::Params().Add(lfnr_));
        if (lb.Empty() || !lb.GetBool("MitAnLageGrp")) {
            // The stored rows stay: the office may switch the profile back to plant groups.
            projekt_.Execute("DELETE FROM Grunddatenprint WHERE LfNrBeReList = ? AND AnlageGruppe > 1",
                             db::Params().Add(lfnr_));
            anzahl = 1;
        }
    }
    return anzahl;
}

void RechnungsDokument::FuegeHonorarReportEin() {
    const int gruppen = AnlageGruppenanzahl();
    // Local site supervision has no basic data: no statement.
    if (gruppen == 0) return;
    NamenUndWerte unter;
    if (gruppen == 1)
        unter = {{"VELUNTA401006.rpt", "PunkteTab"},
                 {"VELUNTA401007.rpt", "Grunddaten"},
                 {"VELUNTA401002.rpt", "BeRelist"},
                 {"VELUNTA401003.rpt", "BeRelist"}};
    else
        unter = {{"VELUNTA401007a.rpt", "Grunddaten"}};
    unter.push_back({"VELUNTA401004.rpt", "BeRelist"});
    unter.push_back({"Velunta401005.rpt", "BeRelist"});
    FuegeEin(gruppen == 1 ? QStringLiteral("VELUNTA4035.rpt") : QStringLiteral("VELUNTA4036.rpt"), unter,
             {{"_Anlagegruppenanzahl", QString::number(gruppen)},
              {QStringLiteral("_WährungsZeichen"), Zeichenformel(zeichen_)}});
}

void RechnungsDokument::FuegeStdReportEin() {
    FuegeEin(QStringLiteral("VELUNTA4037.rpt"), {},
             {{QStringLiteral("_WährungsZeichen"), Zeichenformel(zeichen_)}});
}

void RechnungsDokument::FuegeEin(const QString& datei, const NamenUndWerte& unterberichte,
                                 const NamenUndWerte& formeln) {
    QString pfad = ordner_ + QLatin1Char('/') + datei;
    const QString ort = QString::fromStdString(projekt_.Path().string());
    if (const long rc = cr_.CROpenReport(pfad)) throw DruckFehler(Nummer("Fehler bei ReportOpen #", int(rc)));
    int rc = cr_.CRSetTableLocations({{QStringLiteral("BeRelist"), ort}});
    for (const auto& [u, t] : unterberichte) {
        if (rc) break;
        QString bericht = u, tabelle = t;
        rc = cr_.CRSetTableLocation(bericht, tabelle, ort);
    }
    if (rc) {
        cr_.CRRelease();
        throw DruckFehler(Nummer("Fehler bei ReportOpen #", rc));
    }
    if (const int f = cr_.CRSetFormula(formeln)) {
        cr_.CRRelease();
        throw DruckFehler(Nummer("Fehler bei SetFotmulars Formel #", f));
    }
    QTemporaryFile tmp;
    if (!tmp.open()) {
        cr_.CRRelease();
        throw DruckFehler(Nummer("Fehler beim Anzeigen ( #", 20508));
    }
    tmp.close();
    rc = cr_.CRExport(tmp.fileName());
    cr_.CRRelease();
    if (rc) throw DruckFehler(Nummer("Fehler beim Anzeigen ( #", rc));
    control_.InsertFile(tmp.fileName(), 3);
    bericht_ = datei;
}

void BaueDokument(RechnungsDokument& dok, const Druckauftrag& a, const db::Recordset* vorlage) {
    db::Database& projekt = dok.Text().Projekt();
    try {
        db::Transaction t(projekt);
        const bool summe = !a.liste.empty();
        // A summary never dates the register's current calculation.
        if (!summe && a.datum.toString(QStringLiteral("dd.MM.yyyy")) != a.datumText) {
            db::QueryDef q = projekt.StoredQuery("SetRechnungsdatum");
            q.SetParameter("LfNr", a.lfnr);
            q.SetParameter("DatumIn", a.datum.toString(Qt::ISODate).toStdString());
            q.Execute();
        }
        const QString zeichen = TransDM(projekt, a.lfnr, a.eingabe, a.waehrung);
        richtext::ScribantPro& c = dok.Control();
        if (vorlage && !vorlage->Empty() && !vorlage->EOF_() && !vorlage->BOF()) {
            if (!SBLoadTexte(c, *vorlage, "TextVorlagen", "TextVorlagenFO", "KopfTX", "KopfFo", "FussTx",
                             "FussFO", "RandOben", "RandUnten", "RandLINKS", "RandRechts", 0))
                throw DruckFehler(DruckvorlageUnlesbar);
        }
        c.SetContext(richtext::ScribantPro::Body);
        if (c.Text().isEmpty()) SBDefaults(c);
        c.UpdatePageNumbers(false);
        c.BeginBuild();
        if (summe) dok.Text().ZusammTrans(a.liste);
        dok.TriggerBaueText(a.lfnr, zeichen, a.art, a.datum.toString(QStringLiteral("dd.MM.yyyy")));
        dok.Text().SetSeiteAufNull();
        t.Commit();
    } catch (const DruckFehler&) {
        throw;
    } catch (const std::exception& e) {
        // Database failures and amounts out of range end the run like any other failure.
        throw DruckFehler(QStringLiteral("Das Dokument konnte nicht erstellt werden: ") +
                          QString::fromUtf8(e.what()));
    }
}

} // namespace velu::documents
