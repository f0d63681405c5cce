#include "ui/GitterDatumsWahl.h"

#include "platform/outside/DatumsWahl.h"
#include "ui/DatePicSSDB.h"

#include <QAbstractItemView>
#include <QPointer>

namespace velu {

namespace {

class GitterDatumsWahl : public outside::DatumsWahl {
public:
    explicit GitterDatumsWahl(QWidget* host) : picker_(new DatePicSSDB(host)) {
        picker_->setObjectName("DatePicSSDB1");
        picker_->hide();
        // Tied to kontext_, so an answer after this object is gone reaches nothing.
        QObject::connect(picker_, &DatePicSSDB::DateAction, &kontext_, [this](const QString& datum, int aktion) {
            if (grid_) picker_->Uebernehmen(*grid_, spalte_, datum, aktion);
            else picker_->hide();
        });
    }
    bool Oeffnen(QAbstractItemView& grid, int spalte) override {
        if (!picker_) return false;
        grid_ = &grid;
        spalte_ = spalte;
        return picker_->OeffnenInSpalte(grid, spalte);
    }

private:
    // The host owns the picker widget.
    QPointer<DatePicSSDB> picker_;
    QPointer<QAbstractItemView> grid_;
    int spalte_ = -1;
    QObject kontext_;
};

} // namespace

void RegistriereDatumsWahl() {
    outside::SetzeDatumsWahl([](QWidget* host) { return std::make_unique<GitterDatumsWahl>(host); });
}

} // namespace velu
