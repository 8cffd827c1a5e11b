#pragma once
// Catalogue operations: home, app detail, cloud-drive links, search and category lists.
class QHttpServer;
struct Context;

void registerCatalogRoutes(QHttpServer &server, Context &ctx);
