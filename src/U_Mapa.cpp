#include "U_Mapa.h"

#include "LcUnit.h"
#include "U_DM.h"
#include "U_Funcoes.h"
#include "U_Mensagens.h"
#include "platform/AppFolder.h"
#include "platform/CodePage.h"
#include "platform/Error.h"
#include "platform/PrivateProfile.h"
#include "widgets/Application.h"
#include "widgets/WebBrowser.h"

#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kMapService = QStringLiteral("https://maps.googleapis.com/maps/api/js");

// The company's own marker.
struct Empresa
{
    QString nome = QStringLiteral("Tarvo Varaziru");
    QString telefone = QStringLiteral("(41) 3322-1540");
    QString email = QStringLiteral("contato@tarvo.com.br");
    QString site = QStringLiteral("http://www.tarvo.com.br");
    QString rua = QStringLiteral("Rua Marechal Deodoro");
    QString numero = QStringLiteral("630");
    QString complemento = QStringLiteral("Sala 1204");
    QString cep = QStringLiteral("80.010-010");
    QString cidade = QStringLiteral("Curitiba");
    QString uf = QStringLiteral("PR");
};

QString enderecoEmpresa(const Empresa& empresa)
{
    return QStringList{empresa.rua, empresa.numero, empresa.cidade, empresa.uf, empresa.cep}.join(
        QStringLiteral(", "));
}

QString informacaoEmpresa(const Empresa& empresa)
{
    const auto row = [](const char* label, const QString& value) {
        return QStringLiteral("<tr><td><b>") + QLatin1String(label) +
               QStringLiteral("</b></td><td>") + value + QStringLiteral("</td></tr>");
    };
    return QStringLiteral("<table border=1px>") + row("Nome:", empresa.nome) +
           row("Telefone:", empresa.telefone) + row("Email:", empresa.email) +
           row("Site:", QStringLiteral("<a href='") + empresa.site +
                            QStringLiteral("' target='_blank'>") + empresa.site +
                            QStringLiteral("</a>")) +
           row("Endereco:", empresa.rua + QStringLiteral(", ") + empresa.numero) +
           row("Complemento:", empresa.complemento) + row("CEP:", empresa.cep) +
           row("Cidade:", empresa.cidade) + row("UF:", empresa.uf) + QStringLiteral("</table>");
}

// The inside of a script string quoted with quote: the script sees the text as it is, and no
// text ends the string, the line or the script element early.
QString scriptText(const QString& text, QChar quote)
{
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' || c == quote)
            escaped += u'\\' + QString(c);
        else if (c == u'\r')
            escaped += QStringLiteral("\\r");
        else if (c == u'\n')
            escaped += QStringLiteral("\\n");
        else if (c == QChar(0x2028) || c == QChar(0x2029))
            escaped += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else if (i > 0 && text.at(i - 1) == u'<' &&
                 ((c == u'/' &&
                   QStringView(text).mid(i + 1).startsWith(u"script", Qt::CaseInsensitive)) ||
                  (c == u'!' && QStringView(text).mid(i + 1).startsWith(u"--"))))
            escaped += u'\\' + QString(c); // "</script>" and "<!--" end or hide the script
        else
            escaped += c;
    }
    return escaped;
}

QPixmap marcaOuvinte()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(0x1f, 0x4f, 0xc8), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    for (const double top : {2.5, 8.0}) {
        QPainterPath chevron;
        chevron.moveTo(3, top);
        chevron.lineTo(8, top + 5);
        chevron.lineTo(13, top);
        painter.drawPath(chevron);
    }
    return picture;
}

QPixmap marcaTarvo()
{
    QPixmap picture(24, 24);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x0b, 0x3d, 0x2e), 1));
    painter.setBrush(QColor(0x1b, 0x8a, 0x5a));
    painter.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 5, 5);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(16);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("T"));
    return picture;
}

QLabel* hiddenImage(const QString& name, const QPixmap& picture, QRect place, QWidget* parent)
{
    auto* image = new QLabel(parent);
    image->setObjectName(name);
    image->setPixmap(picture);
    image->setGeometry(place);
    image->hide();
    return image;
}

} // namespace

QString TextoHTML(const QString& text)
{
    return text.toHtmlEscaped().replace(u'\'', QStringLiteral("&#39;"));
}

QString GerarHTMLMapa(const TFrmMapa& window, const QStringList& enderecos,
                      const QStringList& informacoes, const QStringList& titulos)
{
    // The page names both pictures whether or not they could be written.
    if (window.ImgOuvinte->pixmap().save(window.ArqMarca, "PNG"))
        window.ImgTarvo->pixmap().save(window.ArqTarvo, "PNG");

    QStringList lines{
        QStringLiteral("<html>"),
        QStringLiteral("<head>"),
        QStringLiteral(
            "<meta name=\"viewport\" content=\"initial-scale=1.0, user-scalable=no\" />"),
        QStringLiteral("<meta http-equiv=\"content-type\" content=\"text/html; charset=UTF-8\"/>"),
        QStringLiteral("<title>Tarvo Varaziru - Google Maps</title>"),
        QStringLiteral("<script type=\"text/javascript\" src=\"") +
            TextoHTML(window.CarregadorAPI) + QStringLiteral("\"></script>"),
        QStringLiteral("<script type=\"text/javascript\">"),
        QStringLiteral("  var geocoder;"),
        QStringLiteral("  var map;"),
        QStringLiteral("  function initialize() {"),
        QStringLiteral("    geocoder = new google.maps.Geocoder();"),
        QStringLiteral("    var latlng = new google.maps.LatLng(-14, -53);"),
        QStringLiteral("    var myOptions = {"),
        QStringLiteral("      zoom: 4,"),
        QStringLiteral("      center: latlng,"),
        QStringLiteral("      mapTypeId: google.maps.MapTypeId.ROADMAP"),
        QStringLiteral("    }"),
        QStringLiteral("    map = new google.maps.Map(document.getElementById(\"map_canvas\"), "
                       "myOptions);"),
        QStringLiteral("    carregarMarcacao();"),
        QStringLiteral("  }"),
        QString(),
        QStringLiteral("  function verBrasil() { map.setZoom(4); map.setCenter(new "
                       "google.maps.LatLng(-14, -53)); }"),
        QStringLiteral("  function verMundo() { map.setZoom(2); map.setCenter(new "
                       "google.maps.LatLng(0, 0)); }"),
        QStringLiteral("  function zoomOuvinte() { map.setZoom(15); }"),
        QString(),
        QStringLiteral("  function carregarMarcacao() {"),
        QStringLiteral("    var address;"),
        QStringLiteral("    if (geocoder) {"),
    };
    for (qsizetype n = 0; n < enderecos.size(); ++n) {
        lines << QStringLiteral("      address = '") + scriptText(enderecos.at(n), u'\'') +
                     QStringLiteral("';")
              << QStringLiteral("      geocoder.geocode( { 'address': address}, function(results, "
                                "status) {")
              << QStringLiteral("        if (status == google.maps.GeocoderStatus.OK) {")
              << QStringLiteral("          map.setCenter(results[0].geometry.location);")
              << QString() << QStringLiteral("          var marker = new google.maps.Marker({")
              << QStringLiteral("              map: map,")
              << QStringLiteral("              position: results[0].geometry.location,")
              << QStringLiteral("              title: '") + scriptText(titulos.value(n), u'\'') +
                     QStringLiteral("',")
              << (n == 0 ? QStringLiteral("              icon: 'tarvo.png'")
                         : QStringLiteral("              icon: 'marca.png'"))
              << QStringLiteral("          });") << QString()
              << QStringLiteral(
                     "          google.maps.event.addListener(marker, 'click', function() {")
              << QStringLiteral("            map.setZoom(15);") << QStringLiteral("          });")
              << QString()
              << QStringLiteral("          SetMensagemPonto(marker, ") + QString::number(n) +
                     QStringLiteral(");")
              << QStringLiteral("        }") << QStringLiteral("      });") << QString();
    }
    lines << QStringLiteral("    }") << QStringLiteral("  }")
          << QStringLiteral("  function SetMensagemPonto(marker, number) {")
          << QStringLiteral("    var message = [");
    QStringList mensagens;
    for (const QString& informacao : informacoes)
        mensagens << u'"' + scriptText(informacao, u'"') + u'"';
    lines << mensagens.join(QStringLiteral(", ")) + QStringLiteral("];")
          << QStringLiteral("    var infowindow = new google.maps.InfoWindow({")
          << QStringLiteral("          content: message[number],")
          << QStringLiteral("          size: new google.maps.Size(50,50)")
          << QStringLiteral("        });")
          << QStringLiteral("    google.maps.event.addListener(marker, 'click', function() {")
          << QStringLiteral("      infowindow.open(map, marker);") << QStringLiteral("    });")
          << QStringLiteral("  }") << QStringLiteral("</script>") << QStringLiteral("</head>")
          << QString()
          << QStringLiteral("<body style=\"background: #F0F0F0;\" onload=\"initialize()\">")
          << QStringLiteral(
                 "    <div id=\"map_canvas\" style=\"width: 100%; height: 100%;\"></div>")
          << QStringLiteral("</body>") << QStringLiteral("</html>");
    return lines.join(u'\r');
}

TFrmMapa::TFrmMapa(QWidget* parent)
    : QWidget(parent), Panel1(new Panel(QStringLiteral("Panel1"), this)),
      IBQuerySQL(DM->Trans_Agenda)
{
    setObjectName(QStringLiteral("FrmMapa"));
    setWindowTitle(QStringLiteral("Mapa"));
    setWindowFlags(Qt::Window);
    setGeometry(198, 124, 741, 590);
    setFont(Application::designFont());

    Panel1->setFixedHeight(30);
    const auto button = [this](const char* name, const char* caption, int left,
                               const char* themeIcon, QStyle::StandardPixmap fallback) {
        auto* created = new Button(QString::fromLatin1(name), Panel1);
        created->setText(QString::fromUtf8(caption));
        created->setThemeIcon(themeIcon, fallback);
        created->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        created->setGeometry(left, 0, 68, 30);
        return created;
    };
    BVerMundo = button("BVerMundo", "Mundo", 0, "applications-internet", QStyle::SP_DriveNetIcon);
    BVerBrasil = button("BVerBrasil", "Brasil", 68, "go-home", QStyle::SP_DirHomeIcon);
    BImprimir =
        button("BImprimir", "Imprimir", 136, "document-print", QStyle::SP_FileDialogContentsView);
    connect(BVerMundo, &QToolButton::clicked, this, &TFrmMapa::BVerMundoClick);
    connect(BVerBrasil, &QToolButton::clicked, this, &TFrmMapa::BVerBrasilClick);
    connect(BImprimir, &QToolButton::clicked, this, &TFrmMapa::BImprimirClick);

    ImgOuvinte =
        hiddenImage(QStringLiteral("ImgOuvinte"), marcaOuvinte(), {446, 2, 19, 19}, Panel1);
    ImgTarvo = hiddenImage(QStringLiteral("ImgTarvo"), marcaTarvo(), {470, 2, 24, 24}, Panel1);
    MemoHTML = new Memo(QStringLiteral("MemoHTML"), Panel1);
    MemoHTML->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoHTML->setGeometry(496, 0, 72, 25);
    MemoHTML->hide();

    WebBrowserMapa = WebBrowser::create(this);
    WebBrowserMapa->setObjectName(QStringLiteral("WebBrowserMapa"));
    WebBrowserMapa->setAccessibleName(QStringLiteral("Mapa"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(WebBrowserMapa, 1);

    TimerInicio = new QTimer(this);
    TimerInicio->setObjectName(QStringLiteral("TimerInicio"));
    TimerInicio->setInterval(1000);
    TimerInicio->setSingleShot(true);
    connect(TimerInicio, &QTimer::timeout, this, &TFrmMapa::TimerInicioTimer);

    IBQuerySQL.setObjectName(QStringLiteral("IBQuerySQL"));
    IBQuerySQL.setSql(QStringLiteral("SELECT AGE_NOME, AGE_ENDERECO, AGE_UF, AGE_TELEFONE, "
                                     "AGE_EMAIL, AGE_BAIRRO, AGE_CIDADE, AGE_CEP\n\nFROM "
                                     "TB_AGENDA\n\nWHERE AGE_CODIGO = :CODIGO"));
    using Kind = Field::Kind;
    IBQuerySQL.addField(QStringLiteral("AGE_NOME"), Kind::Text, 45);
    IBQuerySQL.addField(QStringLiteral("AGE_ENDERECO"), Kind::Text, 45);
    IBQuerySQL.addField(QStringLiteral("AGE_UF"), Kind::Text, 2);
    IBQuerySQL.addField(QStringLiteral("AGE_TELEFONE"), Kind::Text, 20);
    IBQuerySQL.addField(QStringLiteral("AGE_EMAIL"), Kind::Text, 45);
    IBQuerySQL.addField(QStringLiteral("AGE_BAIRRO"), Kind::Text, 20);
    IBQuerySQL.addField(QStringLiteral("AGE_CIDADE"), Kind::Text, 45);
    IBQuerySQL.addField(QStringLiteral("AGE_CEP"), Kind::Text, 10);
}

void TFrmMapa::FormCreate()
{
    TranslateComponent(this);
    const QString folder = applicationFolder() + u'/';
    ArqHTML = folder + QStringLiteral("Mapa.html");
    ArqMarca = folder + QStringLiteral("marca.png");
    ArqTarvo = folder + QStringLiteral("tarvo.png");
    const QString startup = folder + QStringLiteral("BaseAgenda.ini");
    CarregadorAPI = readPrivateProfileString(startup, QStringLiteral("Mapa"),
                                             QStringLiteral("Carregador"), kMapService);
    const QString key =
        readPrivateProfileString(startup, QStringLiteral("Mapa"), QStringLiteral("Chave"));
    if (!key.isEmpty())
        CarregadorAPI += (CarregadorAPI.contains(u'?') ? u'&' : u'?') + QStringLiteral("key=") +
                         QString::fromLatin1(QUrl::toPercentEncoding(key));
}

void TFrmMapa::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    FormShow();
}

void TFrmMapa::FormShow()
{
    IBQuerySQL.close();
    IBQuerySQL.setParameter(QStringLiteral("CODIGO"), CodigoContato);
    IBQuerySQL.open();

    const Empresa empresa;
    QStringList enderecos{enderecoEmpresa(empresa)};
    QStringList informacoes{informacaoEmpresa(empresa)};
    QStringList titulos{empresa.nome};
    const auto valor = [this](const char* field) {
        return RemoverAcentos(IBQuerySQL.fieldByName(QString::fromLatin1(field)).asString());
    };
    // A value shown in a bubble is text, never markup.
    const auto celula = [&valor](const char* label, const char* field) {
        return QStringLiteral("<tr><td><b>") + QLatin1String(label) +
               QStringLiteral("</b></td><td>&nbsp;") + TextoHTML(valor(field)) +
               QStringLiteral("</td></tr>");
    };
    for (IBQuerySQL.first(); !IBQuerySQL.eof(); IBQuerySQL.next()) {
        titulos << valor("AGE_NOME");
        informacoes << QStringLiteral("<table border=1px>") + celula("Nome:", "AGE_NOME") +
                           celula("Telefone:", "AGE_TELEFONE") + celula("Email:", "AGE_EMAIL") +
                           celula("Endereco:", "AGE_ENDERECO") + celula("Bairro:", "AGE_BAIRRO") +
                           celula("CEP:", "AGE_CEP") + celula("Cidade:", "AGE_CIDADE") +
                           celula("UF:", "AGE_UF") + QStringLiteral("</table>");
        enderecos << valor("AGE_ENDERECO") + QStringLiteral(", ") + valor("AGE_CIDADE") +
                         QStringLiteral(", ") + valor("AGE_UF");
    }

    const QString pagina = GerarHTMLMapa(*this, enderecos, informacoes, titulos);
    MemoHTML->setPlainText(pagina);
    // Written as generated, carriage returns alone and one byte a character; the memo's
    // copy would read them back as its own line ends.
    QFile page(ArqHTML);
    if (!page.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        page.write(CodePage::toWin1252(pagina)) < 0)
        throw Error(page.errorString() + QStringLiteral(": ") + ArqHTML);
    page.close();
    WebBrowserMapa->navigate(ArqHTML);

    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        const QRect screen = primary->geometry();
        setGeometry(16, 16, screen.width() - 32, screen.height() - 64);
    }
    setWindowTitle(QStringLiteral("Nome: ") + valor("AGE_NOME"));
    TimerInicio->start();
}

void TFrmMapa::ExecutarScript(const QString& code)
{
    if (WebBrowserMapa->hasDocument())
        WebBrowserMapa->runScript(code);
}

void TFrmMapa::TimerInicioTimer()
{
    TimerInicio->stop();
    ExecutarScript(QStringLiteral("zoomOuvinte()"));
}

void TFrmMapa::BVerBrasilClick()
{
    ExecutarScript(QStringLiteral("verBrasil()"));
}

void TFrmMapa::BVerMundoClick()
{
    ExecutarScript(QStringLiteral("verMundo()"));
}

void TFrmMapa::BImprimirClick()
{
    UsarIdiomaDoToolkit(DM->languageIndex());
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowModality(Qt::ApplicationModal);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* target) { WebBrowserMapa->print(target); });
    const TrayAnswersDuring tray(&preview);
    preview.exec();
}

void TFrmMapa::keyPressEvent(QKeyEvent* event)
{
    if (!FecharComEsc(*this, event))
        QWidget::keyPressEvent(event);
}

void TFrmMapa::closeEvent(QCloseEvent* event)
{
    FormClose();
    QWidget::closeEvent(event);
}

void TFrmMapa::FormClose()
{
    for (const QString& file : {ArqHTML, ArqMarca, ArqTarvo})
        QFile::remove(file);
}

void MostrarMapa(qint64 codigoContato)
{
    auto* window = new TFrmMapa;
    window->FormCreate();
    window->CodigoContato = codigoContato;
    ShowFormModal(window, ModalFrame::Own);
}
