#include <QTest>
class tst_Samples : public QObject { Q_OBJECT };
QTEST_MAIN(tst_Samples)
#include "tst_Samples.moc"
