#pragma once
// The program's small images by number (recorders, drives, discs, genres):
// the tree, the list and the search dialog's genres show the same ones.
#include <QIcon>
#include <vector>

constexpr int IMAGE_COUNT = 32;

class CImageList {
public:
    // Reads every image from the program's resources.
    void Load();
    // A null icon for a number without an image.
    const QIcon& Image(int index) const;
    int Count() const { return static_cast<int>(m_aImages.size()); }

private:
    std::vector<QIcon> m_aImages;
    QIcon m_noImage;
};
