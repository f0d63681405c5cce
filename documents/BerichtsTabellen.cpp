#include "documents/BerichtsTabellen.h"

#include "core/Money.h"
#include "core/MoneyFormat.h"
#include "documents/CRModul.h"
#include "documents/Projektinfo.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"
#include "platform/db/Recordset.h"
#include "platform/outside/ProjektListe.h"
#include "platform/outside/ProjektUmgebung.h"
#include "register/Payments.h"

#include <QDir>
#include <QFileInfo>

namespace velu {

namespace {

std::filesystem::path Fs(const QString& p) {
    return std::filesystem::path(p.toStdString());
}

// The file name in folder without regard to case; the name as given when there is none.
QString InOrdner(const QString& ordner, const QString& name) {
    const QDir d(ordner);
    for (const QString& e : d.entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
        if (e.compare(name, Qt::CaseInsensitive) == 0) return d.filePath(e);
    return d.filePath(name);
}

QString Text(const db::Recordset& rs, const char* feld) {
    return QString::fromStdString(rs.GetText(feld));
}

} // namespace

QString BerichtsTabellen::ProjektOrdner(const QString& projekteOrdner, const QString& nummer) {
    if (nummer.isEmpty() || nummer.contains('/') || nummer.contains('\\') ||
        nummer.contains(QStringLiteral("..")))
        return {};
    return InOrdner(projekteOrdner, nummer + QStringLiteral(".PRO"));
}

QString BerichtsTabellen::FormelZahl(Currency betrag) {
    return QString::fromStdString(StrZahl(betrag)).trimmed();
}

BerichtsTabellen::Ergebnis BerichtsTabellen::baggernVorplanung() {
    Ergebnis e;
    outside::ProjektListe liste(umgebung_.ProjekteOrdner());
    const auto projekte = liste.Liste(&e.fehler);
    if (!projekte) {
        e.ok = false;
        return e;
    }
    try {
        db::Transaction t(stamm_);
        stamm_.Execute("DELETE FROM Vorplanung");
        for (const outside::ProjektEintrag& p : *projekte) {
            if (p.nummer.isEmpty()) continue;
            std::array<QString, 13> w;
            const QString ordner = ProjektOrdner(umgebung_.ProjekteOrdner(), p.nummer);
            if (!ordner.isEmpty())
                GetVorPlanungsdaten(umgebung_, InOrdner(ordner, QStringLiteral("Prodat")), w);
            db::Params par;
            par.Add(p.nummer.toStdString()).Add(p.name.toStdString());
            for (int i : {4, 5, 8, 9, 10, 11, 12, 1, 6, 7})
                par.Add(w[size_t(i)].toStdString());
            stamm_.Execute(
                "INSERT INTO Vorplanung (Projektnr, Projektbez, Planungsbeginn, Baugesuch, Baubeginn, "
                "Rohbauabnahme, Schlussabnahme, Bezugsfertig, Bauvorhaben, Auftragsform, \"BV-Nr\", "
                "Baugenenigung) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                par);
        }
        t.Commit();
    } catch (const std::exception& x) {
        e.ok = false;
        e.fehler = QString::fromUtf8(x.what());
    }
    return e;
}

Currency BerichtsTabellen::GeTZahlungenOffenePo(db::Database& projekt, int64_t lfnr, Currency& andere) {
    auto rs = projekt.OpenRecordset("SELECT Sum(Zahlung) AS S, Sum(AldispZahlung) AS A FROM Zahlung "
                                    "WHERE LfNrBeReList = ?",
                                    db::Params().Add(lfnr));
    andere = GetCY(rs, "A");
    return GetCY(rs, "S");
}

Currency BerichtsTabellen::GeTEndbetragOffenePo(db::Database& projekt, int64_t lfnr, QString& nummer,
                                                QString& bezeichnung, QString& datum, Currency& aldisp,
                                                int& inputtype) {
    auto rs = projekt.OpenRecordset("SELECT Endbetrag, ReNummer, ReBezeichnung, Redatum, AldispEndbetrag, "
                                    "inputtype FROM BeReList WHERE LfNr = ?",
                                    db::Params().Add(lfnr));
    nummer = bezeichnung = datum = QString();
    aldisp = Currency{};
    inputtype = 0;
    if (rs.Empty()) return Currency{};
    nummer = Text(rs, "ReNummer");
    bezeichnung = Text(rs, "ReBezeichnung");
    const std::string d = rs.GetText("Redatum");
    const auto kurz = FormatDatum(d);
    datum = QString::fromStdString(kurz ? *kurz : d);
    aldisp = GetCY(rs, "AldispEndbetrag");
    inputtype = int(rs.GetInt("inputtype"));
    return GetCY(rs, "Endbetrag");
}

BerichtsTabellen::Ergebnis BerichtsTabellen::OffenepostenBagger() {
    Ergebnis e;
    const QString ordner = umgebung_.ProjekteOrdner();
    outside::ProjektListe liste(ordner);
    const auto projekte = liste.Liste(&e.fehler);
    if (!projekte) {
        e.ok = false;
        return e;
    }
    try {
        db::Transaction t(stamm_);
        stamm_.StoredQuery("DelOffenePosten").Execute();
        for (const outside::ProjektEintrag& p : *projekte) {
            const QString po = ProjektOrdner(ordner, p.nummer);
            if (po.isEmpty()) continue;
            const QString pfad = InOrdner(po, QStringLiteral("Velupro32.mdb"));
            if (!umgebung_.DateiExistiert(pfad)) continue;
            struct Zeile {
                QString nummer, bez, datum;
                Currency offen, anders;
                int typ;
            };
            std::vector<Zeile> zeilen;
            try {
                auto db = db::Database::Open(Fs(pfad), db::OpenMode::Shared);
                if (!db) throw db::DbError("nicht lesbar");
                // Every invoice that asks for payment, unless a later one of its group took its payments
                // over and stands for it (offers and comparisons ask for none).
                for (const reg::Forderung& f : reg::Forderungen(*db)) {
                    Zeile z;
                    z.offen = f.OffenIn(f.eingabe);
                    z.anders = f.OffenIn(1 - f.eingabe);
                    if (z.offen == Currency{} && z.anders == Currency{}) continue;
                    Currency endAnders;
                    GeTEndbetragOffenePo(*db, f.lfnr, z.nummer, z.bez, z.datum, endAnders, z.typ);
                    zeilen.push_back(z);
                }
            } catch (const std::exception&) {
                e.uebersprungen << p.nummer;
                continue;
            }
            for (const Zeile& z : zeilen)
                stamm_.Execute(
                    "INSERT INTO Offeneposten (Projektnr, Projektbez, RechnungsNr, Rechnungsbez, ReDatum, "
                    "DMOffen, AlternativOffen, Inputtype) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                    db::Params()
                        .Add(p.nummer.toStdString())
                        .Add(p.name.toStdString())
                        .Add(z.nummer.toStdString())
                        .Add(z.bez.toStdString())
                        .Add(z.datum.toStdString())
                        .Add(z.offen.Raw())
                        .Add(z.anders.Raw())
                        .Add(int64_t(z.typ)));
        }
        t.Commit();
    } catch (const std::exception& x) {
        e.ok = false;
        e.fehler = QString::fromUtf8(x.what());
    }
    return e;
}

void BerichtsTabellen::BelegeProjAufwand(PhasenSummen& dm, PhasenSummen& euro, Currency& dmGesamt,
                                         Currency& euroGesamt) {
    dmGesamt = Currency{};
    if (!projekt_) return;
    db::Database& db = *projekt_;
    auto verbuche = [&](int slot, Currency a, Currency b, bool inEuro) {
        const Currency d = inEuro ? b : a;
        const Currency eu = inEuro ? a : b;
        dm[size_t(slot)] += d;
        euro[size_t(slot)] += eu;
        dmGesamt += d;
        euroGesamt += eu;
    };
    std::string sql = "SELECT ";
    for (const char* stamm : {"TotalDMLP", "AlDispTotalDMLP"})
        for (int i = 1; i <= 9; ++i)
            sql += std::string(sql.size() > 7 ? ", " : "") + "Sum(" + stamm + std::to_string(i) + ") AS " +
                   stamm + std::to_string(i);
    sql += " FROM Grunddaten WHERE LfNrBeReList = ?";
    // Every invoice once; one that a later invoice of its group took over is billed again in that one.
    for (const reg::Forderung& f : reg::Forderungen(db)) {
        if (f.abgeloest) continue;
        const bool inEuro = f.eingabe != 0;
        if (f.typ == "R") {
            auto rs = db.OpenRecordset(sql, db::Params().Add(f.lfnr));
            if (rs.Empty()) continue;
            for (int i = 1; i <= 9; ++i)
                verbuche(i, RundCY(GetCY(rs, "TotalDMLP" + std::to_string(i))),
                         RundCY(GetCY(rs, "AlDispTotalDMLP" + std::to_string(i))), inEuro);
        } else {
            auto rs = db.OpenRecordset("SELECT BerNetto, AlDispBerNetto FROM BeReList WHERE LfNr = ?",
                                       db::Params().Add(f.lfnr));
            if (rs.Empty()) continue;
            verbuche(f.typ == "S" ? 10 : 0, RundCY(GetCY(rs, "BerNetto")),
                     RundCY(GetCY(rs, "AlDispBerNetto")), inEuro);
        }
    }
}

void BerichtsTabellen::EntferneHilfszeilen() {
    if (projekt_) projekt_->StoredQuery("DELHIDEProAUFWAND").Execute();
}

void BerichtsTabellen::ProjektaufwandInFORMEL(CRModul& cr, bool dm) {
    PhasenSummen d{}, eu{};
    Currency dg, eg;
    BelegeProjAufwand(d, eu, dg, eg);
    const PhasenSummen& s = dm ? d : eu;
    NamenUndWerte f;
    for (int i = 0; i <= 10; ++i)
        f.emplace_back(QStringLiteral("SummLp%1").arg(i), FormelZahl(s[size_t(i)]));
    f.emplace_back(QStringLiteral("GesSummLp"), FormelZahl(dm ? dg : eg));
    cr.CRSetFormula(f);
    if (!projekt_) return;
    db::Transaction t(*projekt_);
    EntferneHilfszeilen();
    for (int i = 0; i <= 10; ++i)
        projekt_->Execute("INSERT INTO Projektaufwand (PHzuordnung, HIDE) VALUES (?, -1)",
                          db::Params().Add(int64_t(i)));
    t.Commit();
}

} // namespace velu
