#pragma once
// One role of every row of an item model, as text, top to bottom.
#include <QAbstractItemModel>
#include <QStringList>

inline QStringList column(const QAbstractItemModel &model, int role)
{
    QStringList values;
    for (int row = 0; row < model.rowCount(); ++row)
        values << model.index(row, 0).data(role).toString();
    return values;
}

inline QStringList column(const QAbstractItemModel &model, const QByteArray &roleName)
{
    return column(model, model.roleNames().key(roleName, -1));
}
