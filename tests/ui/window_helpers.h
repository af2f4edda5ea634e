// Reading and setting a solver window through its widgets, as a user would, by control name.
#pragma once

#include "ui/form_solver.h"
#include "ui/log_grid.h"
#include "ui/markup_display.h"
#include "ui/picture_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using Values = std::vector<std::pair<std::string, std::string>>;

template <class W> W* child(const QWidget* w, const char* name) {
    W* found = w->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
}

// Sets edit texts, selector items (by text) and check boxes ("1" checked) of the sheet.
inline void setValues(TFormSolver* w, const Values& values) {
    for (const auto& [name, value] : values) {
        const QString n = QString::fromStdString(name), v = QString::fromStdString(value);
        if (auto* edit = w->findChild<QLineEdit*>(n))
            edit->setText(v);
        else if (auto* combo = w->findChild<QComboBox*>(n)) {
            combo->setCurrentIndex(combo->findText(v));
            EXPECT_GE(combo->currentIndex(), 0) << name << " has no item " << value;
        } else if (auto* box = w->findChild<QCheckBox*>(n))
            box->setChecked(value == "1");
        else
            ADD_FAILURE() << "no control " << name;
    }
}

inline std::string text(const QWidget* w, const char* name) {
    if (auto* d = w->findChild<TDisplayMiniHTML*>(QString::fromLatin1(name)))
        return d->plainText();
    if (auto* e = w->findChild<QLineEdit*>(QString::fromLatin1(name)))
        return e->text().toStdString();
    if (auto* l = w->findChild<QLabel*>(QString::fromLatin1(name)))
        return l->text().toStdString();
    ADD_FAILURE() << "no text control " << name;
    return {};
}

inline QTabWidget* tabs(const TFormSolver* w) {
    return child<QTabWidget>(w, "PageControl");
}

inline bool tabShown(const TFormSolver* w, const char* page) {
    QTabWidget* t = tabs(w);
    return t->isTabVisible(t->indexOf(child<QWidget>(w, page)));
}

inline bool tabEnabled(const TFormSolver* w, const char* page) {
    QTabWidget* t = tabs(w);
    return t->isTabEnabled(t->indexOf(child<QWidget>(w, page)));
}

inline int logRows(const TFormSolver* w) {
    return child<TLogGrid>(w, "VSTL")->rowCount();
}

inline bool hasPicture(const TFormSolver* w, const char* name) {
    auto* view = child<TPictureView>(w, name);
    return view && view->hasPicture() && !view->image().isNull();
}
