#pragma once
// Sign-in and sign-out.
class QHttpServer;
struct Context;

void registerAccountRoutes(QHttpServer &server, Context &ctx);
