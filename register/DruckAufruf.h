#pragma once
// The register's print calls: a project report about one calculation (the report dialog PrintFormKO), the
// offer or invoice document of one calculation and the summary of marked calculations (the print dialog
// DruckAufrufRechnung). The dialogs behind them come with the documents; until then the program's own
// implementation says that printing is not available yet.
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class QWidget;

namespace velu::reg {

// Document kinds of the print dialog.
inline constexpr int DokumentZusammenstellung = 4;
// Kind of the document of a calculation type: A 1, R 2, B 3, S 5, E 6, V 7; nothing for any other type.
std::optional<int> DokumentArt(std::string_view reType);

class DruckAufruf {
public:
    virtual ~DruckAufruf() = default;
    // PrintFormKO with tag "T2" (its help topic): PrintMode2(berichtIndex, lfnr, nummer, ursprung), shown
    // modally under caption. berichtIndex 11 to 14 from the tools PRINTKO, PRINTAZ, PRINTZAHUEBER, PRINTZULP.
    virtual void Bericht(int berichtIndex, const QString& caption, int64_t lfnr, const QString& nummer,
                         int64_t ursprung) = 0;
    // DruckAufrufRechnung: Makeconection(art, datum, inputType, displayType, lfnr), shown modally.
    virtual void Rechnung(int art, const QString& datum, int inputType, int displayType, int64_t lfnr) = 0;
    // PrintRechnung.ZusammTrans(liste), then the print dialog of kind 4 set up with calculation lfnr.
    virtual void Zusammenstellung(const std::vector<int64_t>& liste, const QString& datum, int inputType,
                                  int displayType, int64_t lfnr) = 0;
};

// Makes the print calls of a register window (owner).
using DruckAufrufFabrik = std::function<std::unique_ptr<DruckAufruf>(QWidget* owner)>;

// The program's own: a message that printing comes with a later version.
class DruckNochNichtVerfuegbar : public DruckAufruf {
public:
    explicit DruckNochNichtVerfuegbar(QWidget* owner = nullptr) : owner_(owner) {}
    void Bericht(int, const QString&, int64_t, const QString&, int64_t) override;
    void Rechnung(int, const QString&, int, int, int64_t) override;
    void Zusammenstellung(const std::vector<int64_t>&, const QString&, int, int, int64_t) override;

    static const QString Meldung;

private:
    void Melden();
    QWidget* owner_;
};

} // namespace velu::reg
