#include <QTest>
class tst_FolderImport : public QObject { Q_OBJECT };
QTEST_MAIN(tst_FolderImport)
#include "tst_FolderImport.moc"
