#include "display_text.h"

#include <QStringDecoder>

namespace tarvo {

QString displayText(std::string_view bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString text = utf8.decode(view);
    return utf8.hasError() ? QString::fromLatin1(view) : text;
}

} // namespace tarvo
