// The embedded web browser on the toolkit's web engine, built as a module that the program
// loads on first use.

#include "widgets/WebBrowser.h"

#include <QEventLoop>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace {

class WebEngineBrowser : public WebBrowser
{
public:
    explicit WebEngineBrowser(QWidget* parent) : WebBrowser(parent), view_(new QWebEngineView(this))
    {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(view_);
        setFocusProxy(view_);
        QObject::connect(view_, &QWebEngineView::loadFinished, this, [this](bool ok) {
            loaded_ = true;
            if (loadFinished_)
                loadFinished_(ok);
        });
    }

    void navigate(const QString& fileName) override
    {
        loaded_ = false;
        view_->load(QUrl::fromLocalFile(fileName));
    }

    bool hasDocument() const override { return loaded_; }

    void runScript(const QString& code, const std::function<void(const QVariant&)>& done) override
    {
        // The engine swallows a statement's error; its value is then invalid.
        view_->page()->runJavaScript(code, [done](const QVariant& value) {
            if (done)
                done(value);
        });
    }

    void print(QPrinter* printer) override
    {
        QEventLoop printed;
        const auto connection =
            QObject::connect(view_, &QWebEngineView::printFinished, &printed, &QEventLoop::quit);
        view_->print(printer);
        printed.exec();
        QObject::disconnect(connection);
    }

    void onLoadFinished(const std::function<void(bool)>& handler) override
    {
        loadFinished_ = handler;
    }

private:
    QWebEngineView* view_;
    bool loaded_ = false;
    std::function<void(bool)> loadFinished_;
};

} // namespace

extern "C" Q_DECL_EXPORT WebBrowser* tarvoCreateWebBrowser(QWidget* parent)
{
    return new WebEngineBrowser(parent);
}
