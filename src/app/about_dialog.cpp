#include "app/about_dialog.h"

#include "platform/product.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace tb::app {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About Tagberry"));
    auto* icon = new QLabel(this);
    QIcon app_icon = QApplication::windowIcon();
    if (app_icon.isNull()) {
        app_icon = QApplication::style()->standardIcon(QStyle::SP_DirLinkIcon);
    }
    icon->setPixmap(app_icon.pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);

    auto* version = new QLabel(tr("Tagberry Version 2.0.2"), this);
    QFont bold = version->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    version->setFont(bold);

    auto* text = new QVBoxLayout;
    text->addWidget(version);
    text->addWidget(link(tr("Quillmont web site"), QString::fromLatin1(kMakerWebSite)));
    text->addSpacing(6);
    text->addWidget(
        new QLabel(tr("Date of build:") + QLatin1Char(' ') + QString::fromLatin1(__DATE__), this));
    text->addSpacing(6);
    text->addWidget(new QLabel(tr("This program uses the following libraries:"), this));
    const std::pair<QString, QString> libraries[] = {
        {tr("SQLite library"), QStringLiteral("https://www.sqlite.org/")},
        {tr("Xerces-C library"), QStringLiteral("https://xerces.apache.org/xerces-c/")},
        {tr("Qt"), QStringLiteral("https://www.qt.io/")},
        {tr("Boost"), QStringLiteral("https://www.boost.org/")},
        {tr("libcurl"), QStringLiteral("https://curl.se/libcurl/")},
    };
    for (const auto& [name, address] : libraries) {
        QLabel* label = link(name, address);
        label->setContentsMargins(12, 0, 0, 0);
        text->addWidget(label);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0);
    grid->addLayout(text, 0, 1);
    grid->addWidget(buttons, 1, 0, 1, 2);
    grid->setHorizontalSpacing(16);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    buttons->setFocus();
}

QLabel* AboutDialog::link(const QString& text, const QString& address) {
    auto* label = new QLabel(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(address.toHtmlEscaped(), text.toHtmlEscaped()),
        this);
    label->setTextFormat(Qt::RichText);
    // Opened through QDesktopServices; the links take part in the Tab order.
    label->setOpenExternalLinks(true);
    label->setTextInteractionFlags(Qt::TextBrowserInteraction);
    label->setToolTip(address);
    links_.append(label);
    return label;
}

}  // namespace tb::app
