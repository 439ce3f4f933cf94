#pragma once

#include <QWidget>

// Stands in for the main window while it is being built: it loads the language tables the same
// way the main window does, shows the translated title, and releases the tables when it goes.
class PlaceholderWindow : public QWidget
{
    Q_OBJECT

public:
    explicit PlaceholderWindow(QWidget* parent = nullptr);
    ~PlaceholderWindow() override;
};
