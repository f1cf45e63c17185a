#include "app/shell/image_list.h"

#include <QFile>

#include "app/shell/image_file.h"

void CImageList::Load() {
    m_aImages.clear();
    for (int i = 0; i < IMAGE_COUNT; ++i) {
        const QString path = ImageFile(QStringLiteral("images/%1").arg(i, 2, 10, QLatin1Char('0')));
        m_aImages.push_back(QFile::exists(path) ? QIcon(path) : QIcon());
    }
}

const QIcon& CImageList::Image(int index) const {
    if (index < 0 || index >= Count()) return m_noImage;
    return m_aImages[static_cast<std::size_t>(index)];
}
