#pragma once
// A window holding a data grid and its navigator on one data source, shown offscreen, for the
// benchmarks that time what a page's grid shows.
#include "controls/TwwDBGrid.h"
#include "controls/TwwDBNavigator.h"
#include "data/TDataSource.h"

#include <QApplication>
#include <QRect>
#include <QWidget>

namespace bench {

struct GridWindow {
    QWidget window;
    controls::TwwDBGrid* grid = new controls::TwwDBGrid(&window);
    controls::TwwDBNavigator* nav = new controls::TwwDBNavigator(&window);

    GridWindow(data::TDataSource& source, QSize size, QRect gridArea, QRect navArea) {
        window.resize(size);
        grid->setGeometry(gridArea);
        nav->setGeometry(navArea);
        grid->setDataSource(&source);
        nav->setDataSource(&source);
    }
    ~GridWindow() {
        grid->setDataSource(nullptr);
        nav->setDataSource(nullptr);
    }
    GridWindow(const GridWindow&) = delete;
    GridWindow& operator=(const GridWindow&) = delete;

    void show() {
        window.show();
        paint();
    }
    // Lets the grid fetch and draw what it shows now.
    void paint() {
        QApplication::processEvents();
        grid->viewport()->repaint();
    }
};

} // namespace bench
