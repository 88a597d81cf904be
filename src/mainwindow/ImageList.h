#pragma once
// A list of small pictures looked up by key, in the order they were added, as the tree of the
// "Include Files" tab uses them for its node images.

#include <QIcon>
#include <QString>
#include <vector>

class ImageList {
public:
    struct Image {
        QString key;
        QString tag;
        QIcon icon;
    };

    void Add(const QString& key, const QIcon& icon) { images_.push_back({key, key, icon}); }
    bool Contains(const QString& key) const { return Find(key) != nullptr; }
    // The empty icon for a key the list does not hold.
    QIcon Icon(const QString& key) const {
        const Image* image = Find(key);
        return image ? image->icon : QIcon();
    }
    const std::vector<Image>& Images() const { return images_; }

private:
    const Image* Find(const QString& key) const {
        for (const Image& image : images_) {
            if (image.key == key) return &image;
        }
        return nullptr;
    }
    std::vector<Image> images_;
};

// The six 16 x 16 pictures of the "Include Files" tree, drawn here: "Check", "X", "CircleX",
// "QuestMark", "CircleQ", "Folder".
ImageList MakeIncludeFilesImages();
