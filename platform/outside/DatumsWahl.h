#pragma once
// A date picker for the date column of a grid, for the outside programs' masks. The grid date picker lives
// above the platform; the program installs it here at start. Without one the masks take typed dates only.
#include <functional>
#include <memory>

class QAbstractItemView;
class QWidget;

namespace velu::outside {

class DatumsWahl {
public:
    virtual ~DatumsWahl() = default;
    // Opens over the current cell of column spalte; the chosen date (dd.MM.yyyy) is written into that cell.
    // False when there is no such cell.
    virtual bool Oeffnen(QAbstractItemView& grid, int spalte) = 0;
};

// host: the form the picker belongs to (its parent).
using DatumsWahlFabrik = std::function<std::unique_ptr<DatumsWahl>(QWidget* host)>;

void SetzeDatumsWahl(DatumsWahlFabrik fabrik);
// nullptr when none is installed.
std::unique_ptr<DatumsWahl> NeueDatumsWahl(QWidget* host);

} // namespace velu::outside
