#pragma once
// The few HTML pages the client opens in the browser: the site root, an app, a blog post, a guide, the device
// check page and the sandbox payment page.
class QHttpServer;
struct Context;

void registerPages(QHttpServer &server, Context &ctx);
