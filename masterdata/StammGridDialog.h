#pragma once
// A master-data editor that is one grid bound to a table of the master database ("Grundleistung",
// "Mitarbeiter"): rows are added, edited and deleted in the grid "SSDBGrid1", written by their key LfNr; a
// rate typed into a DM or euro column fills its twin while that is still 0; the tool band "ActiveBar1" has
// band "Band1" with "EXIT". Esc and the close box run "EXIT"; the grid commits before every tool and on
// close.
#include "platform/forms/BoundGridModel.h"
#include "platform/forms/BoundGridView.h"

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

namespace velu::db {
class Database;
}
namespace velu::forms {
class ToolBand;
}

namespace velu::masterdata {

class StammGridDialog : public QDialog {
    Q_OBJECT
public:
    // A DM column and its euro twin.
    struct Paar {
        std::string dm;
        std::string euro;
    };
    struct Aufbau {
        QString name; // objectName, help topic
        QString caption;
        std::string table; // record source
        std::vector<forms::BoundColumn> spalten;
        std::vector<Paar> paare;
        QString loeschFrage;
        int breitSpalte = 0; // takes the width the others leave
    };

    StammGridDialog(db::Database& stamm, Aufbau aufbau, QWidget* parent = nullptr);
    ~StammGridDialog() override;

    void ToolClick(const QString& key);
    forms::ToolBand& ActiveBar1() { return *bar_; }
    forms::BoundGridView& SSDBGrid1() { return *grid_; }
    forms::BoundGridModel* Model() { return model_.get(); }

public slots:
    void reject() override;

private:
    void Zwilling(int row, int column);

    Aufbau aufbau_;
    forms::ToolBand* bar_ = nullptr;
    forms::BoundGridView* grid_ = nullptr;
    std::unique_ptr<forms::BoundGridModel> model_;
};

} // namespace velu::masterdata
