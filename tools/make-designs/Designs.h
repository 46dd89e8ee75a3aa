#pragma once

#include <QString>

namespace mk {

// Each function writes one complete design folder under root (the designs
// folder) and, when previewDir is not empty, a full-size PNG preview there.
void makeGold(const QString& root, const QString& previewDir);
void makeNeon(const QString& root, const QString& previewDir);
void makeOcean(const QString& root, const QString& previewDir);
void makeRetro(const QString& root, const QString& previewDir);
void makeStamp(const QString& root, const QString& previewDir);
void makeChalk(const QString& root, const QString& previewDir);
void makeDuskWallpaper(const QString& root, const QString& previewDir);
void makePixelQuest(const QString& root, const QString& previewDir);
void makeSteelStencil(const QString& root, const QString& previewDir);
void makePaintedSign(const QString& root, const QString& previewDir);
void makeRoundSticker(const QString& root, const QString& previewDir);
void makeWebButton(const QString& root, const QString& previewDir);
void makeForumSignature(const QString& root, const QString& previewDir);
void makeSaleLeaderboard(const QString& root, const QString& previewDir);
void makeWorldGreetings(const QString& root, const QString& previewDir);

// The pictures of docs/images/.
void makeDiagrams(const QString& imagesDir);
// The designs of the guide's lettering pictures, in docs/images/lettering/.
void makeLetteringDemos(const QString& imagesDir);

} // namespace mk
