#pragma once

#include <QWidget>

#include <functional>

class QPrinter;

// An embedded web browser. The engine behind it is large, so it lives in a module of its own
// that is loaded when the first browser is created: a run that never shows a web page never
// starts it.
class WebBrowser : public QWidget
{
public:
    using QWidget::QWidget;
    ~WebBrowser() override = default;

    // Loads the module and creates a browser; fails with the reason the module cannot be
    // loaded.
    static WebBrowser* create(QWidget* parent);

    // Loads and shows a local page, asynchronously.
    virtual void navigate(const QString& fileName) = 0;
    // Whether a page has finished loading, with or without the resources it asked for.
    virtual bool hasDocument() const = 0;
    // Runs a statement in the page; a failing statement changes nothing and reports nothing.
    // done, when given, receives the statement's value.
    virtual void runScript(const QString& code,
                           const std::function<void(const QVariant&)>& done = {}) = 0;
    // Prints the page on the printer and returns once it has.
    virtual void print(QPrinter* printer) = 0;
    // Told when a page has finished loading, and whether it loaded.
    virtual void onLoadFinished(const std::function<void(bool)>& handler) = 0;
};
