#include "SkinResources.h"

#include <QtCore/qglobal.h>

void initSkinResources()
{
    Q_INIT_RESOURCE(skin);
}
