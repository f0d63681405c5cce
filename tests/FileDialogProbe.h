#pragma once
// Runs an action that opens a modal file dialog, notes where the dialog starts and cancels it.
#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include <functional>

struct FileDialogStart {
    QString directory;    // the folder the dialog shows
    QString selectedFile; // the file it offers, if any
};

inline FileDialogStart ProbeFileDialog(const std::function<void()>& open) {
    FileDialogStart seen;
    QTimer t;
    t.setInterval(5);
    QObject::connect(&t, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        t.stop();
        seen.directory = d->directory().absolutePath();
        seen.selectedFile = d->selectedFiles().value(0);
        d->reject();
    });
    t.start();
    open();
    return seen;
}
