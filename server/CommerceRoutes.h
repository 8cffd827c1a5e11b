#pragma once
// Sponsorship orders: checkout, order status and history, the sandbox payment and the payment QR image.
class QHttpServer;
struct Context;

void registerCommerceRoutes(QHttpServer &server, Context &ctx);
