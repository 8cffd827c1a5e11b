#pragma once
// Wallpaper list, download requests and the generated image files.
class QHttpServer;
struct Context;

void registerWallpaperRoutes(QHttpServer &server, Context &ctx);
