#include "documents/RechnungsText.h"

#include "core/Money.h"
#include "core/MoneyFormat.h"
#include "platform/db/Database.h"
#include "platform/db/QueryDef.h"
#include "platform/outside/Prodat.h"
#include "platform/outside/ProjektUmgebung.h"
#include "platform/richtext/ScribantPro.h"
#include "register/InvoiceChain.h"
#include "register/Payments.h"

#include <QDate>
#include <algorithm>

namespace velu::documents {

namespace {
const QString CrLf = QStringLiteral("\r\n");
const QString Blank = QStringLiteral(" ");
const QChar Fest(0x00A0); // a blank that does not break the line
const QString Tab = QStringLiteral("\t");

// "§ 34 Gebäude": the paragraph gets its sign once, and a name that starts with the paragraph already
// ("§ 35 Honorartafel …") is not preceded by it again.
QString Paragraphentext(QString para, const QString& name) {
    if (para.isEmpty()) return name;
    if (!para.startsWith(QChar(0x00A7))) para = QChar(0x00A7) + Blank + para;
    const QString nummer = para.mid(1).trimmed();
    if (name.startsWith(QChar(0x00A7)) && name.mid(1).trimmed().startsWith(nummer)) return name;
    return para + Blank + name;
}

// The amount format without a sign.
QString Zahl(Currency betrag) {
    const QString t = QString::fromStdString(FormatBetrag(betrag, DM));
    return t.left(t.size() - 3);
}

QString Datumstext(const db::Recordset& rs, const char* feld) {
    if (rs.IsNull(feld)) return {};
    const std::string s = rs.GetText(feld);
    const auto d = FormatDatum(s.substr(0, 10));
    return d ? QString::fromStdString(*d) : QString::fromStdString(s);
}
} // namespace

void ScribantFelder::SetzeFeld(int nummer, const QString& text) {
    control_.SetFieldText(nummer, text);
}

QString ScribantFelder::Feldtext(int nummer) const {
    return control_.FieldText(nummer);
}

QString Betragstext(Currency betrag, const QString& zeichen) {
    QString z = zeichen;
    if (z.startsWith(QLatin1Char(' '))) z[0] = Fest;
    return Zahl(betrag) + z;
}

namespace {
QString Prozenttext(Currency prozent) {
    return Zahl(prozent) + Fest + QLatin1Char('%');
}
} // namespace

RechnungsText::RechnungsText(db::Database& projekt, FeldZiel& felder, outside::ProjektUmgebung& umgebung)
    : projekt_(projekt), felder_(felder), umgebung_(umgebung) {}

void RechnungsText::Setze(int64_t lfnr, const QString& zeichen, int art) {
    lfnr_ = lfnr;
    zeichen_ = zeichen;
    art_ = art;
}

void RechnungsText::ZusammTrans(const std::vector<int64_t>& liste) {
    liste_ = liste;
    summenmodus_ = true;
}

bool RechnungsText::Oeffne(const char* abfrage, const char* parameter, int64_t wert) {
    db::QueryDef q = projekt_.StoredQuery(abfrage);
    q.SetParameter(parameter, wert);
    satz_ = q.OpenRecordset();
    if (satz_.Empty()) return false;
    satz_.MoveFirst();
    return true;
}

Currency RechnungsText::Wert(const char* feld) const {
    return GetCY(satz_, feld);
}

void RechnungsText::ChangeFunctionStr(const char* feld, int nummer) {
    felder_.SetzeFeld(nummer, QString::fromStdString(satz_.GetText(feld)));
}

void RechnungsText::ChangeFunctionCUR(const char* feld, int nummer) {
    felder_.SetzeFeld(nummer, Betragstext(Wert(feld), zeichen_));
}

void RechnungsText::ChangeFunctionCURNegativ(const char* feld, int nummer) {
    felder_.SetzeFeld(nummer, Betragstext(-Wert(feld), zeichen_));
}

void RechnungsText::ChangeFunctionNumZusatz(const char* feld, int nummer, const QString& zusatz) {
    felder_.SetzeFeld(nummer, Betragstext(Wert(feld), zusatz));
}

void RechnungsText::ChangeFunctionArrayVal(const char* praefix, int nummer, bool prozent) {
    QStringList zeilen;
    for (int i = 1; i <= 9; ++i) {
        const Currency w = Wert((std::string(praefix) + std::to_string(i)).c_str());
        zeilen << (w == Currency() ? QString() : prozent ? Prozenttext(w) : Betragstext(w, zeichen_));
    }
    felder_.SetzeFeld(nummer, zeilen.join(CrLf));
}

void RechnungsText::ChangeFunctionArrayLiTX() {
    QStringList zeilen;
    for (int i = 1; i <= 9; ++i)
        zeilen << QString::number(i) + Blank +
                      QString::fromStdString(satz_.GetText("LiTX0" + std::to_string(i))).trimmed();
    felder_.SetzeFeld(3032, zeilen.join(CrLf));
}

void RechnungsText::SBFunctionNothing() {
    for (auto [von, bis] : {std::pair{200, 210}, {1300, 1320}, {3000, 3062}})
        for (int n = von; n <= bis; ++n)
            felder_.SetzeFeld(n, Blank);
}

void RechnungsText::SetProjektDaten() {
    const QString pfad = umgebung_.ProjektOrdner() + QStringLiteral("/Prodat");
    outside::ProdatSatz satz;
    if (umgebung_.DateiExistiert(pfad))
        if (auto s = outside::LeseProdat(pfad)) satz = *s;
    for (int k = 0; k < outside::ProdatFelder; ++k) {
        const QString t = satz[size_t(k)].trimmed();
        felder_.SetzeFeld(1000 + k, t.isEmpty() ? Blank : t);
    }
    const QDate beginn = QDate::fromString(satz[163].trimmed(), QStringLiteral("d.M.yyyy"));
    planungsbeginn_ = beginn.isValid() ? beginn.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

QString Leistungszeittext(const QString& von, const QString& bis) {
    if (von.isEmpty() || von == bis) return QStringLiteral("Leistungsdatum: ") + bis;
    return QStringLiteral("Leistungszeitraum: ") + von + QStringLiteral(" bis ") + bis;
}

// The first and last date of the hourly-rate positions; the invoice date when none is dated.
QString RechnungsText::Positionszeitraum(const QString& datum) {
    db::Recordset rs = projekt_.OpenRecordset(
        "SELECT Min(Datum) AS von, Max(Datum) AS bis FROM StdRePos WHERE REZuordnung = ? AND Datum <> ''",
        db::Params().Add(lfnr_));
    const QString von = Datumstext(rs, "von"), bis = Datumstext(rs, "bis");
    return bis.isEmpty() ? Leistungszeittext({}, datum) : Leistungszeittext(von, bis);
}

void RechnungsText::Zahlungsbedingung() {
    if (zahlungsbedingung_.isEmpty() || Wert("SkontoDM") == Currency()) return;
    QString s = zahlungsbedingung_;
    if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    const QString bedingung =
        skontobedingung_.isEmpty() ? QStringLiteral("bei Zahlung innerhalb von 14 Tagen") : skontobedingung_;
    // The amounts stand in parentheses: a line of the letter never ends in an amount that a reader of the
    // totals above could take for one of their steps.
    felder_.SetzeFeld(ZahlungsbedingungFeld,
                      s + QStringLiteral(": der Zahlbetrag ohne Skonto (") +
                          Betragstext(Wert("Skontofaehig"), zeichen_) + QStringLiteral("); ") + bedingung +
                          QStringLiteral(" der Endbetrag (") + Betragstext(Wert("Endbetrag"), zeichen_) +
                          QStringLiteral(")."));
}

void RechnungsText::SetSeiteAufNull() {
    seitenzaehler_ = 0;
    felder_.SetzeFeld(91, QStringLiteral("0"));
    felder_.SetzeFeld(92, QStringLiteral("1"));
}

void RechnungsText::NeueSeite(int seite, int seiten) {
    seitenzaehler_ = seite;
    felder_.SetzeFeld(91, QString::number(seite));
    felder_.SetzeFeld(92, QString::number(seite + 1));
    if (seiten > 0) felder_.SetzeFeld(SeitenzahlFeld, QString::number(seiten));
}

void RechnungsText::TabelleA() {
    for (int n : {3301, 3001, 3008})
        ChangeFunctionStr("ReNummer", n);
    for (int n : {3302, 3002, 3009})
        ChangeFunctionStr("ReBezeichnung", n);
    felder_.SetzeFeld(3303, Datumstext(satz_, "Redatum"));
    const QString prozent = QStringLiteral(" %");
    struct Feld {
        const char* name;
        std::initializer_list<int> nummern;
        char form; // c amount, n negated amount, p percent
    };
    for (const Feld& f : {Feld{"BerNetto", {3304}, 'c'},
                          {"ZuAbBrNetto", {3305}, 'c'},
                          {"ZwSumm", {3306, 3012}, 'c'},
                          {"MwStPro", {3307, 3011}, 'p'},
                          {"MWSTDM", {3308, 3043}, 'c'},
                          {"Brutto", {3309, 3006}, 'c'},
                          {"ZuabBrutto", {3310, 3045}, 'c'},
                          {"SummAz", {3311, 3046}, 'n'},
                          {"SkontoPro", {3312, 3047}, 'p'},
                          {"Skontofaehig", {3313, 3048}, 'c'},
                          {"SkontoDM", {3314, 3049}, 'c'},
                          {"Endbetrag", {3315, 3007}, 'c'},
                          {"Mwstenthalten", {3316, 3010}, 'c'},
                          {"KOST57", {3317}, 'c'},
                          {"PSatz57", {3318}, 'p'},
                          {"Fertigstell57", {3319}, 'p'}})
        for (int n : f.nummern) {
            if (f.form == 'c') ChangeFunctionCUR(f.name, n);
            if (f.form == 'n') ChangeFunctionCURNegativ(f.name, n);
            if (f.form == 'p') ChangeFunctionNumZusatz(f.name, n, prozent);
        }
    const QString andere = zeichen_.contains(QLatin1Char('D')) ? QStringLiteral(" €") : QStringLiteral(" DM");
    felder_.SetzeFeld(3059, Betragstext(Wert("aldispEndbetrag"), andere));
    felder_.SetzeFeld(
        3040,
        Betragstext(RundCY(Wert("InZuSchBerNettoProDM")) + RundCY(Wert("InZuSchBerNettoDM")), zeichen_));
    QStringList zeilen;
    for (const Summenzeile& z : Summenzeilen()) {
        if (z.art == Summenzeile::Hinweis)
            zeilen << z.text;
        else
            zeilen << z.text + (z.prozent.isEmpty() ? QString() : Blank + z.prozent) + Tab +
                          Betragstext(z.betrag, zeichen_);
    }
    felder_.SetzeFeld(SummenFeld, zeilen.join(CrLf));
}

std::vector<Currency> Zuschlagsanteile(const std::vector<Zuschlagsreihe>& reihen, Currency basis, Currency gesamt) {
    std::vector<Currency> anteile;
    Currency summe;
    for (const Zuschlagsreihe& r : reihen) {
        anteile.push_back(RundCY(ProzentVon(basis, r.prozent) + r.betrag));
        summe += anteile.back();
    }
    if (!anteile.empty()) anteile.back() += gesamt - summe;
    return anteile;
}

std::vector<Summenzeile> RechnungsText::Zuschlagszeilen(const char* tabelle, const char* text, Currency basis,
                                                        Currency prozent, Currency gesamt) {
    std::vector<Summenzeile> z;
    std::vector<Zuschlagsreihe> reihen;
    if (tabelle) {
        db::Recordset rs = projekt_.OpenRecordset(std::string("SELECT Bezeichnung, ZuAbPro, ZuAbDM FROM ") +
                                                      tabelle + " WHERE LfNrBeReList = ? ORDER BY LfNr",
                                                  db::Params().Add(lfnr_));
        for (; !rs.Empty() && !rs.EOF_(); rs.MoveNext()) {
            const Currency pro = GetCY(rs, "ZuAbPro"), fest = GetCY(rs, "ZuAbDM");
            if (pro == Currency() && RundCY(ProzentVon(basis, pro) + fest) == Currency()) continue;
            QString name = QString::fromStdString(rs.GetText("Bezeichnung")).trimmed();
            if (name.isEmpty()) name = QString::fromUtf8(text);
            z.push_back({Summenzeile::Zuschlag, name, pro == Currency() ? QString() : Prozenttext(pro), {}});
            reihen.push_back({pro, fest});
        }
    }
    if (z.empty()) {
        if (gesamt != Currency())
            z.push_back({Summenzeile::Zuschlag, QString::fromUtf8(text),
                         prozent == Currency() ? QString() : Prozenttext(prozent), gesamt});
    } else {
        const std::vector<Currency> anteile = Zuschlagsanteile(reihen, basis, gesamt);
        for (size_t i = 0; i < z.size(); ++i)
            z[i].betrag = anteile[i];
    }
    return z;
}

std::vector<RechnungsText::Abschlagsanteil> RechnungsText::Abschlagsanteile(Currency az, Currency mwstPro) {
    // At this invoice's rate, as long as the payments deducted are not exactly those of earlier invoices of
    // its group or all of those were paid at this rate.
    const Currency azNetto = RundCY(Currency::FromDouble(az.ToDouble() / (mwstPro.ToDouble() / 100 + 1)));
    const std::vector<Abschlagsanteil> einer = {{mwstPro, azNetto, az - azNetto}};
    const int64_t lfnr = satz_.GetInt("LfNr", lfnr_);
    db::Recordset rs = projekt_.OpenRecordset(
        "SELECT Ursprung, INPUTType, SummAz FROM BeReList WHERE LfNr = ?", db::Params().Add(lfnr));
    if (rs.Empty()) return einer;
    const int64_t ursprung = rs.GetInt("Ursprung", 0);
    const int eingabe = rs.GetInt("INPUTType", 0) != 0 ? 1 : 0;
    Currency andere, summe;
    reg::GetVorZahlungen(projekt_, lfnr, ursprung, eingabe, andere, summe);
    if (summe != GetCY(rs, "SummAz")) return einer;
    const int waehrung = zeichen_.trimmed() == QLatin1String("DM") ? 0 : 1;
    const std::vector<reg::Vorzahlung> v =
        reg::Vorzahlungen(projekt_, lfnr, ursprung, eingabe, waehrung, mwstPro);
    if (std::all_of(v.begin(), v.end(), [&](const reg::Vorzahlung& p) { return p.mwstPro == mwstPro; }))
        return einer;
    // Each invoice's payments split at its own rate, as the list of partial invoices splits its final amount.
    std::vector<Abschlagsanteil> anteile;
    Currency summeBrutto;
    for (const reg::Vorzahlung& p : v) {
        auto a = std::find_if(anteile.begin(), anteile.end(),
                              [&](const Abschlagsanteil& x) { return x.satz == p.mwstPro; });
        if (a == anteile.end()) a = anteile.insert(anteile.end(), {p.mwstPro, {}, {}});
        const Currency mwst = reg::EnthalteneMwst(p.betrag, p.mwstPro);
        a->netto += p.betrag - mwst;
        a->mwst += mwst;
        summeBrutto += p.betrag;
    }
    // The other currency's rounding stays with the last line, so that the lines add up to the deduction.
    anteile.back().netto += RundCY(az) - summeBrutto;
    return anteile;
}

std::vector<Summenzeile> RechnungsText::Summenzeilen() {
    const std::string typ = satz_.GetText("REType");
    const bool stunden = typ == "S" || typ == "B";
    const bool angebot = art_ == 1 || art_ == 6;
    const Currency null;
    const Currency netto = Wert("BerNetto"), mwstPro = Wert("MwStPro");
    const Currency zuNetto = Wert("ZuAbBrNetto"), zuBrutto = Wert("ZuabBrutto");
    const Currency az = Wert("SummAz"), skonto = Wert("SkontoDM"), end = Wert("Endbetrag");
    std::vector<Summenzeile> z;
    auto dazu = [&z](std::vector<Summenzeile> mehr) { z.insert(z.end(), mehr.begin(), mehr.end()); };
    z.push_back({Summenzeile::Start, QStringLiteral("Honorar netto"), {}, netto});
    dazu(Zuschlagszeilen(stunden ? nullptr : "ZuBerNettoPrint", "Zu- und Abschläge auf das Nettohonorar", netto,
                         Wert(stunden ? "StdReNetZuAbPro" : "InZuSchBerNettoPro"), zuNetto));
    if (z.size() > 1) z.push_back({Summenzeile::Zwischensumme, QStringLiteral("Zwischensumme"), {}, Wert("ZwSumm")});
    z.push_back({Summenzeile::Zuschlag, QStringLiteral("zuzüglich Mehrwertsteuer"), Prozenttext(mwstPro),
                 Wert("MWSTDM")});
    z.back().text = QStringLiteral("zuzüglich %1 Mehrwertsteuer").arg(Prozenttext(mwstPro));
    z.back().prozent.clear();
    const Currency brutto = Wert("Brutto");
    z.push_back({Summenzeile::Zwischensumme, QStringLiteral("Bruttobetrag"), {}, brutto});
    dazu(Zuschlagszeilen(stunden ? nullptr : "ZuBruttoPrint", "Zu- und Abschläge auf den Bruttobetrag", brutto,
                         Wert(stunden ? "StdReBrZuAbPro" : "InZuSchBruttoPro"), zuBrutto));
    if (az != null) {
        z.push_back({Summenzeile::Abzug, QStringLiteral("abzüglich geleistete Abschlagszahlungen"), {}, az});
        // The payments' VAT for the client's tax return, one line per rate.
        for (const auto& [satz, netto, mwst] : Abschlagsanteile(az, mwstPro))
            z.push_back(
                {Summenzeile::Hinweis,
                 QStringLiteral("(Abschlagszahlungen netto %1 zuzüglich %2 Mehrwertsteuer %3)")
                     .arg(Betragstext(netto, zeichen_), Prozenttext(satz), Betragstext(mwst, zeichen_)),
                 {},
                 null});
    }
    if (skonto != null) {
        // The client may pay either amount: the one without discount is named, and the discount's line says
        // on which condition it may be taken.
        z.push_back(
            {Summenzeile::Zwischensumme, QStringLiteral("Zahlbetrag ohne Skonto"), {}, Wert("Skontofaehig")});
        QString abzug = QStringLiteral("abzüglich %1 Skonto").arg(Prozenttext(Wert("SkontoPro")));
        if (!skontobedingung_.isEmpty()) abzug = skontobedingung_ + Blank + abzug;
        z.push_back({Summenzeile::Abzug, abzug, {}, -skonto});
    }
    z.push_back({Summenzeile::Ende, QStringLiteral("Endbetrag"), {}, end});
    // The VAT of the final amount differs from the VAT above once payments, discount or gross surcharges
    // changed the amount: said once, with the reason.
    if (!angebot && RundCY(Wert("Mwstenthalten")) != RundCY(Wert("MWSTDM")))
        z.push_back({Summenzeile::Hinweis,
                     QStringLiteral("(im Endbetrag enthaltene Mehrwertsteuer %1: %2)")
                         .arg(Prozenttext(mwstPro), Betragstext(Wert("Mwstenthalten"), zeichen_)),
                     {},
                     null});
    return z;
}

void RechnungsText::TabelleB() {
    ChangeFunctionStr("Honorarzone", 3004);
    for (int n = 1; n <= 3; ++n) {
        const int basis = 3014 + 6 * (n - 1);
        const std::string k = std::to_string(n);
        ChangeFunctionCUR(("SummAnreKostAB" + k).c_str(), basis);
        ChangeFunctionCUR(("HonorarMinAB" + k).c_str(), basis + 1);
        ChangeFunctionCUR(("HonorarMaxAB" + k).c_str(), basis + 2);
        ChangeFunctionNumZusatz(("SatzUemin" + k).c_str(), basis + 3, QStringLiteral(" %"));
        const std::string pauschal = "PhonorarAb" + k;
        if (Wert(pauschal.c_str()) != Currency()) {
            ChangeFunctionCUR(pauschal.c_str(), basis + 5);
            felder_.SetzeFeld(3059 + n, QStringLiteral("Pauschal"));
        } else {
            ChangeFunctionCUR(("GrHonorarAb" + k).c_str(), basis + 5);
        }
    }
    ChangeFunctionArrayVal("GrundLDM", 3034, false);
    ChangeFunctionArrayVal("TeilleistPro", 3035, true);
    ChangeFunctionArrayVal("TeilleistDM", 3036, false);
    ChangeFunctionCUR("HonrarNetto", 3037);
    felder_.SetzeFeld(
        3038, Betragstext(RundCY(Wert("SummZuNettoProDM")) + RundCY(Wert("SummZuNettoDM")), zeichen_));
    ChangeFunctionCUR("HonorarBerNetto", 3039);
}

void RechnungsText::TabelleC() {
    auto text = [this](const char* f) { return QString::fromStdString(satz_.GetText(f)).trimmed(); };
    felder_.SetzeFeld(3003, Paragraphentext(text("LeistungsbildPara"), text("LeistungsbildBez")));
    felder_.SetzeFeld(3013, Paragraphentext(text("HoaiTafel"), text("HoaiTafelBez")));
    ChangeFunctionArrayLiTX();
    ChangeFunctionArrayVal("proz0", 3033, true);
}

bool RechnungsText::BaueRechnungsText(const QString& datum) {
    skontobedingung_ = felder_.Feldtext(SkontobedingungFeld).simplified();
    felder_.SetzeFeld(SkontobedingungFeld, QString());
    zahlungsbedingung_ = felder_.Feldtext(ZahlungsbedingungFeld).simplified();
    SBFunctionNothing();
    SetProjektDaten();
    const outside::ProjektInfo p = umgebung_.AktProjekt();
    felder_.SetzeFeld(100, p.name);
    felder_.SetzeFeld(101, p.nummer);
    felder_.SetzeFeld(91, QStringLiteral("0"));
    felder_.SetzeFeld(92, QStringLiteral("1"));
    felder_.SetzeFeld(90, datum);
    if (summenmodus_) {
        BaueZusammenstellung();
        if (art_ != 3) return true;
    }
    felder_.SetzeFeld(LeistungszeitFeld,
                      art_ == 5 ? Positionszeitraum(datum) : Leistungszeittext(planungsbeginn_, datum));
    if (!Oeffne("GetBerelistPrint", "LfnrIn", lfnr_)) return false;
    TabelleA();
    Zahlungsbedingung();
    if (art_ == 5 || art_ == 3) return true;
    if (Oeffne("GetGrunddatenPrint", "BeReListLfnr", lfnr_)) TabelleB();
    if (Oeffne("GetLeistungsbildBereList", "BeReListLfnr", lfnr_)) TabelleC();
    return true;
}

QString RechnungsText::GetLeistungsbildText(int64_t lfnr) {
    db::QueryDef q = projekt_.StoredQuery("GetLeistungsbildBereList");
    q.SetParameter("BeReListLfnr", lfnr);
    db::Recordset rs = q.OpenRecordset();
    if (rs.Empty()) return {};
    rs.MoveFirst();
    return Paragraphentext(QString::fromStdString(rs.GetText("LeistungsbildPara")).trimmed(),
                           QString::fromStdString(rs.GetText("LeistungsbildBez")).trimmed());
}

void RechnungsText::BaueZusammenstellung() {
    const int anzeige = zeichen_.trimmed() == QStringLiteral("DM") ? 0 : 1;
    QString spalten[5];
    Currency summe, mwst;
    fehlend_.clear();
    for (int64_t lfnr : liste_) {
        db::QueryDef q = projekt_.StoredQuery("GetBerelist");
        q.SetParameter("LfnrIn", lfnr);
        db::Recordset rs = q.OpenRecordset();
        if (rs.Empty()) {
            fehlend_.push_back(lfnr);
            continue;
        }
        rs.MoveFirst();
        const std::string typ = rs.GetText("REType");
        QString art;
        if (typ == "B")
            art = Paragraphentext(QStringLiteral("57"), QStringLiteral("örtliche Bauüberwachung"));
        else if (typ == "S")
            art = QStringLiteral("Stundenlohnrechnung");
        else
            art = GetLeistungsbildText(lfnr);
        const bool andere = rs.GetInt("INPUTType") != anzeige;
        const Currency end = RundCY(GetCY(rs, andere ? "aldispEndbetrag" : "Endbetrag"));
        summe += end;
        mwst += RundCY(GetCY(rs, andere ? "aldispMwstenthalten" : "Mwstenthalten"));
        const QString zeile[5] = {QString::fromStdString(rs.GetText("ReNummer")).trimmed(),
                                  QString::fromStdString(rs.GetText("ReBezeichnung")).trimmed(),
                                  Datumstext(rs, "Redatum"), art, Betragstext(end, zeichen_)};
        for (int i = 0; i < 5; ++i)
            spalten[i] += CrLf + zeile[i];
    }
    static constexpr int nummern[5] = {3052, 3053, 3054, 3057, 3055};
    for (int i = 0; i < 5; ++i)
        felder_.SetzeFeld(nummern[i], spalten[i].mid(CrLf.size()));
    // Field 3056 in the template stands right after its amount, so the sign keeps no trailing blank.
    QString zeichen = zeichen_;
    while (zeichen.endsWith(QLatin1Char(' ')))
        zeichen.chop(1);
    felder_.SetzeFeld(3056, Betragstext(summe, zeichen));
    felder_.SetzeFeld(3058, Betragstext(mwst, zeichen_));
}

} // namespace velu::documents
