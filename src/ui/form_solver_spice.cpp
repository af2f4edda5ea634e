// "Export SPICE netlist…" of the solver window: the sheet as it stands, solved as the CLI's spice
// command solves it (nothing stored), written as an ngspice netlist where the user chooses.
#include "ui/form_solver.h"

#include "circuits/solve_command.h"
#include "spice/netlist.h"
#include "ui/message_boxes.h"

#include <QFile>
#include <QFileDialog>

bool TFormSolver::writeSpiceNetlist(const QString& path, QString* message) const {
    const SolveRequest rq = buildRequest();
    const SpiceExport netlist = spiceNetlist(rq, solveCommand(rq));
    *message = QString::fromStdString(netlist.problem);
    if (!netlist.written)
        return false;
    QFile file(path);
    const QByteArray bytes = QByteArray::fromStdString(netlist.text);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        *message = QStringLiteral("The netlist could not be written to %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

void TFormSolver::ButtonSpiceClick() {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export SPICE netlist"), QStringLiteral("C%1.cir").arg(Tag),
        QStringLiteral("SPICE netlists (*.cir *.sp *.net);;All files (*)"));
    if (path.isEmpty())
        return;
    QString message;
    if (!writeSpiceNetlist(path, &message))
        showError(this, message);
    else if (!message.isEmpty())
        showInformation(this, QStringLiteral("The netlist was written. %1").arg(message));
}
