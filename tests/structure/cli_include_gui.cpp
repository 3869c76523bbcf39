// tizhi-score's library links Qt Core only: no Qt GUI header is there.
#include <QPainter>
