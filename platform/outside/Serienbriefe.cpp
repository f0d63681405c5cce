#include "platform/outside/Serienbriefe.h"

#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/outside/Ablage.h"
#include "platform/outside/Briefvorlage.h"
#include "platform/richtext/Cp1252.h"
#include "platform/richtext/ScribantPro.h"
#include "platform/richtext/VeluDoc.h"

#include <QRegularExpression>
#include <QTextDocument>

namespace velu::outside {

using richtext::ScribantPro;

namespace {

const QString Kopf = QStringLiteral("<velu-doc version=\"1\">");
const QString Ende = QStringLiteral("</velu-doc>");

// A new letter starts from the delivered letter layout: the office's head and footer and the address window
// of the offers and invoices, the date beside the window, so that it stays where it is however many lines
// the address has.
std::string NeuerBrief() {
    using namespace brief;
    const std::string angaben = Absatz("Datum: " + Feld(BriefFeld::Datum, "Datum"), " align=\"right\"");
    return Dokument(Fenster(Absatz(Feld(BriefFeld::Anschrift, "Anschrift")), angaben) + Absatz("") +
                    Absatz("") + Absatz("<b>Betreff</b>") + Absatz("") +
                    Absatz(Feld(BriefFeld::Anrede, "Sehr geehrte Damen und Herren,")) + Absatz("") +
                    Absatz("Text des Briefes") + Absatz("") + Absatz("Mit freundlichen Grüßen") + Absatz("") +
                    Absatz("") + Absatz(Buero));
}

// The inside of a velu-doc text, between its root tags.
QString Inneres(const QString& xml) {
    QString t = xml;
    if (t.startsWith(Kopf)) t.remove(0, Kopf.size());
    if (t.endsWith(Ende)) t.chop(Ende.size());
    return t;
}

} // namespace

namespace {

// A formal greeting names titles and surname, not the given names: "Dr. Özlem Krüger-O'Hara" is greeted as
// "Dr. Krüger-O'Hara". Titles are the leading words that end in a point ("Prof.", "Dr.", "Dipl.-Ing."); the
// surname is the last word with the lower-case particles before it ("von Weizsäcker").
QString TitelUndNachname(const QString& person) {
    const QStringList w = person.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList titel;
    qsizetype i = 0;
    for (; i < w.size() && w[i].endsWith(QLatin1Char('.')); ++i)
        titel << w[i];
    if (i >= w.size()) return person;
    qsizetype n = w.size() - 1;
    while (n > i && w[n - 1].at(0).isLower())
        --n;
    return (titel + w.mid(n)).join(QLatin1Char(' '));
}

} // namespace

QString Anrede(const Adresse& a) {
    static const QRegularExpression zuHaenden(QStringLiteral("^(z\\.\\s*Hd\\.?|zu Händen( von)?)\\s*"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression person(QStringLiteral("^(Herrn?|Frau)\\s+(\\S.*)$"));
    for (QString t : {a.zusatz, a.name}) {
        t = t.simplified().remove(zuHaenden);
        const auto m = person.match(t);
        if (!m.hasMatch()) continue;
        const bool herr = m.captured(1).startsWith(QStringLiteral("Herr"));
        return (herr ? QStringLiteral("Sehr geehrter Herr ") : QStringLiteral("Sehr geehrte Frau ")) +
               TitelUndNachname(m.captured(2)) + QLatin1Char(',');
    }
    return QStringLiteral("Sehr geehrte Damen und Herren,");
}

std::vector<std::pair<int, QString>> BriefFelder(const Adresse& a, const QString& datum) {
    QStringList block;
    for (const QString& z : {a.name, a.zusatz, a.strasse, a.PlzOrt()})
        if (!z.trimmed().isEmpty()) block << z.trimmed();
    return {{BriefFeld::Name, a.name},       {BriefFeld::Zusatz, a.zusatz},
            {BriefFeld::Strasse, a.strasse}, {BriefFeld::Plz, a.plz},
            {BriefFeld::Ort, a.ort},         {BriefFeld::Telefon, a.telefon},
            {BriefFeld::EMail, a.email},     {BriefFeld::Anschrift, block.join("\r\n")},
            {BriefFeld::Anrede, Anrede(a)},  {BriefFeld::Datum, datum}};
}

QString Serienbriefe::Pfad(ProjektUmgebung& umgebung) {
    return AblagePfad(umgebung, "STDBRIEF", "SERIENBRIEFE.MDB");
}

namespace {
const QString BriefArt = QStringLiteral("Serienbriefe");
}

bool Serienbriefe::IstSerienbriefe(db::Database& db) {
    return IstAblage(db, BriefArt) && db.HasTable("DruckVorlagen");
}

std::unique_ptr<Serienbriefe> Serienbriefe::Oeffnen(const QString& pfad, QString* fehler) {
    auto d = OeffneAblage(
        pfad, BriefArt,
        [](db::Database& neu) {
            neu.Execute("CREATE TABLE DruckVorlagen (LFNR INTEGER PRIMARY KEY AUTOINCREMENT, Dokumentart INTEGER, "
                        "Bezeichnung TEXT, RandOben INTEGER, RandUnten INTEGER, RandLINKS INTEGER, "
                        "RandRechts INTEGER, KopfTX TEXT, KopfFo TEXT, FussTx TEXT, FussFO TEXT, "
                        "TextVorlagen TEXT, TextVorlagenFO TEXT, UNICODEFLAG INTEGER)");
        },
        fehler);
    if (!d) return nullptr;
    return std::unique_ptr<Serienbriefe>(new Serienbriefe(std::move(d)));
}

std::vector<Brief> Serienbriefe::Briefe() {
    std::vector<Brief> out;
    auto rs = db_->OpenRecordset(
        "SELECT LFNR, Bezeichnung FROM DruckVorlagen WHERE Dokumentart = :art ORDER BY Bezeichnung, LFNR",
        db::Params().Set("art", int64_t{Art}));
    for (; !rs.EOF_(); rs.MoveNext())
        out.push_back({rs.GetInt("LFNR"), QString::fromStdString(rs.GetText("Bezeichnung"))});
    return out;
}

int64_t Serienbriefe::Neu(const QString& name, QString* fehler) {
    try {
        db_->Execute(
            "INSERT INTO DruckVorlagen (Dokumentart, Bezeichnung, RandOben, RandUnten, RandLINKS, "
            "RandRechts, KopfTX, KopfFo, FussTx, FussFO, TextVorlagen, TextVorlagenFO, UNICODEFLAG) "
            "VALUES (:art, :name, :oben, :unten, :links, :rechts, :kopf, :fo, :fuss, :fo, :text, :fo, 1)",
            db::Params()
                .Set("art", int64_t{Art})
                .Set("name", name.trimmed().toStdString())
                .Set("oben", int64_t{brief::Raender[0]})
                .Set("unten", int64_t{brief::Raender[1]})
                .Set("links", int64_t{brief::Raender[2]})
                .Set("rechts", int64_t{brief::Raender[3]})
                .Set("kopf", brief::Kopf())
                // One letter per recipient: a page count would run on over all of them.
                .Set("fuss", brief::Fuss(false))
                .Set("text", NeuerBrief())
                .Set("fo", richtext::VeluDocFormat.toStdString()));
        return db_->LastInsertId();
    } catch (const db::DbError& e) {
        if (fehler) *fehler = "Der Brief konnte nicht angelegt werden:\n" + QString::fromUtf8(e.what());
        return 0;
    }
}

bool Serienbriefe::Loeschen(int64_t lfnr, QString* fehler) {
    try {
        db_->Execute("DELETE FROM DruckVorlagen WHERE LFNR = :n AND Dokumentart = :art",
                     db::Params().Set("n", lfnr).Set("art", int64_t{Art}));
    } catch (const db::DbError& e) {
        if (fehler) *fehler = "Der Brief konnte nicht gelöscht werden:\n" + QString::fromUtf8(e.what());
        return false;
    }
    return true;
}

bool Serienbriefe::Erstelle(int64_t lfnr, const std::vector<Adresse>& an, const QString& datum, ScribantPro& ziel,
                            QString* fehler) {
    auto melde = [&](const QString& t) {
        if (fehler) *fehler = t;
        return false;
    };
    if (an.empty()) return melde(QStringLiteral("Bitte wählen Sie mindestens einen Empfänger."));
    auto rs = db_->OpenRecordset("SELECT * FROM DruckVorlagen WHERE LFNR = :n AND Dokumentart = :art",
                                 db::Params().Set("n", lfnr).Set("art", int64_t{Art}));
    if (rs.Empty()) return melde(QStringLiteral("Der Brief ist nicht mehr vorhanden."));
    const bool breit = rs.GetInt("UNICODEFLAG", 0) != 0;
    auto text = [&](const char* feld) {
        const QByteArray b = QByteArray::fromStdString(rs.GetText(feld));
        return breit ? QString::fromUtf8(b) : richtext::WidenCp1252(QString::fromLatin1(b));
    };
    // The letter read once; each recipient's copy is written out with its fields set and the copies are
    // joined by page breaks into one body.
    ScribantPro vorlage;
    const std::pair<const char*, const char*> texte[] = {
        {"TextVorlagen", "TextVorlagenFO"}, {"KopfTX", "KopfFo"}, {"FussTx", "FussFO"}};
    for (int k = 0; k < 3; ++k) {
        vorlage.SetContext(k);
        const QString t = text(texte[k].first);
        if (!t.isEmpty() && !vorlage.PasteData(t, text(texte[k].second), int(t.size())))
            return melde("Der Brief konnte nicht gelesen werden:\n" + vorlage.LastError());
    }
    const QList<int> vorhanden = vorlage.FieldNumbers();
    QStringList briefe;
    for (const Adresse& a : an) {
        ScribantPro kopie;
        vorlage.CopyTo(kopie);
        for (const auto& [n, wert] : BriefFelder(a, datum))
            if (vorhanden.contains(n)) kopie.SetFieldText(n, wert.isEmpty() ? QStringLiteral(" ") : wert);
        briefe << Inneres(richtext::WriteVeluDoc(*kopie.Document(ScribantPro::Body)));
    }
    // Header and footer show the date; address fields there stay as in the letter.
    ScribantPro zusammen;
    vorlage.CopyTo(zusammen);
    zusammen.SetFieldText(BriefFeld::Datum, datum);
    zusammen.SetContext(ScribantPro::Body);
    zusammen.Clear();
    if (!zusammen.PasteData(Kopf + briefe.join("<pagebreak/>") + Ende, richtext::VeluDocFormat, -1))
        return melde("Der Serienbrief konnte nicht zusammengestellt werden:\n" + zusammen.LastError());
    const char* const raender[] = {"RandOben", "RandUnten", "RandLINKS", "RandRechts"};
    void (ScribantPro::*setze[])(double) = {&ScribantPro::SetTopMargin, &ScribantPro::SetBottomMargin,
                                            &ScribantPro::SetLeftMargin, &ScribantPro::SetRightMargin};
    for (int i = 0; i < 4; ++i)
        (zusammen.*setze[i])(rs.IsNull(raender[i]) ? -1 : rs.GetDouble(raender[i]) / 1000.0);
    zusammen.CopyTo(ziel);
    ziel.SetContext(ScribantPro::Body);
    return true;
}

} // namespace velu::outside
