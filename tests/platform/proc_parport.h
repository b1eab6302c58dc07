#pragma once

#include <QDir>
#include <QFile>

// Writes <root>/<port>/base-addr as the kernel would, e.g. port "parport0", text "888\t1912\n".
inline void writeBaseAddr(const QString& root, const QString& port, const QByteArray& text) {
    QDir(root).mkpath(port);
    QFile file(root + "/" + port + "/base-addr");
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
}
