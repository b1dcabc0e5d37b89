#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>

namespace loopwren {

// Stands in for the web browser: QDesktopServices hands it the addresses it would have opened.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    UrlCatcher();
    ~UrlCatcher() override;

    QStringList opened;

public slots:
    void open(const QUrl& url) { opened.append(url.toString()); }
};

} // namespace loopwren
