#include <QTest>
class tst_InputFileListView : public QObject { Q_OBJECT };
QTEST_MAIN(tst_InputFileListView)
#include "tst_InputFileListView.moc"
