#include <QTest>
class tst_AddFilesDialog : public QObject { Q_OBJECT };
QTEST_MAIN(tst_AddFilesDialog)
#include "tst_AddFilesDialog.moc"
