#!/usr/bin/env python3
"""Fills translations/pelmar_es.ts with the Spanish texts below, after lupdate.

Run: python3 translations/fill_es.py translations/pelmar_es.ts
A text missing here is left unfinished and named, so check_translations.py
fails until it gets its Spanish words. Plural texts take a pair (one, many).
"""
import sys
import xml.etree.ElementTree as ET

# The clock's window places its controls at fixed sizes, so its labels and
# buttons take the short forms that fit ("Entrar", "Su nombre:").
# Latin-American Spanish as US workplaces use it: "marcar entrada/salida" for
# clocking, "turno" for a shift. Record types ("Worked", "Vacation") and the
# audit's actions are stored in English and shown in Spanish; date forms
# (M/D/YYYY) stay as the program reads them.
ES = {
    # Shared words.
    'From': 'Desde',
    'To': 'Hasta',
    'ID': 'ID',
    'TimeID': 'TimeID',
    'EmployeeID': 'EmployeeID',
    'PersonnelID': 'PersonnelID',
    'Name': 'Nombre',
    'Date': 'Fecha',
    'Type': 'Tipo',
    'Hours': 'Horas',
    'Employee': 'Empleado',
    'Workstation': 'Estación de trabajo',
    'Check': 'Revisar',
    'Refusal': 'Rechazo',
    'Error:%1 %2': 'Error:%1 %2',
    '&Add…': 'A&gregar…',
    'Export &CSV…': 'Exportar CS&V…',
    'CSV files|*.csv': 'Archivos CSV|*.csv',
    'Pick an employee in the list first.': 'Primero elija un empleado de la lista.',
    '&Password': 'Contra&seña',
    '&Again': '&Repetir',
    'Days worked': 'Días trabajados',
    'Vacation': 'Vacaciones',
    'Holiday': 'Día feriado',
    'Sick leave': 'Licencia por enfermedad',
    'Other': 'Otro',
    'Open shifts': 'Turnos abiertos',
    '(no type)': '(sin tipo)',

    # AbsencesDialog
    'Absences of %1': 'Ausencias de %1',
    'Absences': 'Ausencias',
    '&Remove': '&Quitar',
    '&Type': '&Tipo',
    '&On': '&El día',
    'one date': 'una fecha',
    'every Monday to Friday of a range': 'cada lunes a viernes de un período',
    '&From': '&Desde',
    'T&o': '&Hasta',
    '%1 added for %2 on %3': '%1 agregado para %2 el %3',
    '%1 added for %2 on %n day(s)': ('%1 agregado para %2 en %n día', '%1 agregado para %2 en %n días'),
    'Pick an absence in the list first.': 'Primero elija una ausencia de la lista.',
    '%1 of %2 on %3 removed (record %4)': '%1 de %2 el %3 eliminado (registro %4)',

    # AdminTab
    '⚠ open %1 h': '⚠ abierto %1 h',
    'All employees': 'Todos los empleados',
    ' (left %1)': ' (se fue el %1)',
    'Period': 'Período',
    'This month': 'Este mes',
    'Last month': 'El mes pasado',
    'Last 14 days': 'Últimos 14 días',
    'Other dates': 'Otras fechas',
    '%1 could not be written: %2': 'No se pudo escribir %1: %2',

    # AdminWindow
    'Pelmar Administrator': 'Administrador de Pelmar',
    'Administration': 'Administración',
    'Working': 'Trabajando',
    'Pelmar Administrator - %1': 'Administrador de Pelmar - %1',
    "The role '%1' that %2 logs in as does not own the database's tables, so it can't change the staff or the settings.":
        "El rol '%1' con el que %2 inicia sesión no es dueño de las tablas de la base de datos, así que no puede cambiar el personal ni la configuración.",
    "Log in as the tables' owner (%1) on this server.":
        'Inicie sesión en este servidor como el dueño de las tablas (%1).',
    "The role '%1' does not own the database's tables either.":
        "El rol '%1' tampoco es dueño de las tablas de la base de datos.",
    '&Board': '&Tablero',
    '&Time records': '&Registros de tiempo',
    '&Payroll': '&Nómina',
    '&Staff': '&Personal',
    '&Audit': '&Auditoría',
    'A&lerts': 'A&lertas',
    'S&ettings': '&Configuración',
    'Working…': 'Trabajando…',

    # AlertsTab
    'Alert': 'Alerta',
    'Made': 'Creada',
    'Shift date': 'Fecha del turno',
    'State': 'Estado',
    'Tries': 'Intentos',
    'Sent': 'Enviada',
    'Reason': 'Motivo',
    'Alerts': 'Alertas',
    'Send &again': '&Volver a enviar',
    'Alert %1 will be sent again by the next terminal that tries.':
        'La próxima terminal que lo intente volverá a enviar la alerta %1.',

    # AuditTab
    'Action': 'Acción',
    'All actions': 'Todas las acciones',
    'When': 'Cuándo',
    'Account': 'Cuenta',
    'Before': 'Antes',
    'After': 'Después',
    'Audit trail': 'Registro de auditoría',
    'Export the audit trail': 'Exportar el registro de auditoría',

    # BoardTab
    'Who is in': 'Quién está presente',
    '%1 in, %2 out, %3 away': '%1 presentes, %2 fuera, %3 ausentes',
    'in': 'presente',
    'out': 'fuera',
    'vacation': 'de vacaciones',
    'holiday': 'de feriado',
    'sick leave': 'de licencia por enfermedad',
    'no recent records': 'sin registros recientes',
    'Find a name': 'Buscar un nombre',
    '&Refresh': 'Actuali&zar',
    'Status': 'Estado',
    'Since': 'Desde',
    'Board': 'Tablero',

    'Locate the Pelmar Database': 'Ubicar la base de datos de Pelmar',
    'Select your name': 'Seleccione su nombre',

    # PayrollTab
    'Payroll': 'Nómina',
    'Hours per employee': 'Horas por empleado',
    'Save &PDF…': 'Guardar P&DF…',
    '%1: %2': '%1: %2',
    'Other, records of a type the clock does not know: %1':
        'Otro, registros de un tipo que el reloj no conoce: %1',
    ', ': ', ',
    'Hours, with open shifts to correct': 'Horas, con turnos abiertos por corregir',
    '%1 (%2 open)': '%1 (%2 sin cerrar)',
    'Hours, %1': 'Horas, %1',
    '%1 to %2': '%1 a %2',
    '%n shift(s) from %1 are still open: their hours are not counted. Save the payroll anyway?':
        ('%n turno de %1 sigue abierto: sus horas no se cuentan. ¿Guardar la nómina de todos modos?',
         '%n turnos de %1 siguen abiertos: sus horas no se cuentan. ¿Guardar la nómina de todos modos?'),
    'Export the payroll': 'Exportar la nómina',
    'Save the payroll as PDF': 'Guardar la nómina como PDF',
    'PDF files|*.pdf': 'Archivos PDF|*.pdf',

    # QtDialogs
    '&User name': 'Nombre de &usuario',

    # RecordsTab
    'In': 'Entrada',
    'Out': 'Salida',
    'Time records': 'Registros de tiempo',
    '&Edit…': '&Editar…',
    '&Delete': '&Borrar',
    'closed at midnight by the clock': 'cerrado a medianoche por el reloj',
    'open': 'abierto',
    'Pick a time record in the list first.': 'Primero elija un registro de tiempo de la lista.',
    'Shift %1 of %2 added on %3, open since %4': 'Turno %1 de %2 agregado el %3, abierto desde %4',
    'Shift %1 of %2 set open since %3': 'Turno %1 de %2 marcado como abierto desde %3',
    'Shift %1 of %2 added on %3, %4 to %5 (%6 hours)': 'Turno %1 de %2 agregado el %3, de %4 a %5 (%6 horas)',
    'Shift %1 of %2 closed at %3 (%4 hours)': 'Turno %1 de %2 cerrado a las %3 (%4 horas)',
    'Shift %1 of %2 set to %3 to %4 (%5 hours)': 'Turno %1 de %2 cambiado a %3 a %4 (%5 horas)',
    'Add a shift for %1': 'Agregar un turno para %1',
    'Edit shift %1 of %2 on %3': 'Editar el turno %1 de %2 del %3',
    '&Date': '&Fecha',
    '&In': '&Entrada',
    '&Out': '&Salida',
    'Still &open': 'Todavía a&bierto',
    'no clock-out yet': 'todavía sin salida',
    'Delete a time record': 'Borrar un registro de tiempo',
    'Delete time record %1 of %2?': '¿Borrar el registro de tiempo %1 de %2?',
    'Time record %1 of %2 on %3 deleted': 'Registro de tiempo %1 de %2 del %3 borrado',

    # RunError: the numbered errors' descriptions.
    'Invalid procedure call or argument': 'Llamada a procedimiento o argumento no válido',
    'Overflow': 'Desbordamiento',
    'Out of memory': 'Memoria insuficiente',
    'Type mismatch': 'Los tipos no coinciden',
    'Path/File access error': 'Error de acceso a la ruta o al archivo',
    'Object variable or With block variable not set': 'Variable de objeto o bloque With no establecida',
    'Invalid use of Null': 'Uso no válido de Null',
    "Table '%1' already exists.": "La tabla '%1' ya existe.",
    'No current record.': 'No hay un registro actual.',
    'Update or CancelUpdate without AddNew or Edit.': 'Update o CancelUpdate sin AddNew o Edit.',
    "Could not find file '%1'.": "No se encontró el archivo '%1'.",
    'Cannot update. Database or object is read-only.':
        'No se puede actualizar. La base de datos o el objeto es de solo lectura.',
    'System resource exceeded: the disk is full.': 'Se agotaron los recursos del sistema: el disco está lleno.',
    'Disk or network error.': 'Error de disco o de red.',
    "'%1' is not a valid path. Make sure that the path name is spelled correctly and that you are connected to the server on which the file resides.":
        "'%1' no es una ruta válida. Asegúrese de que la ruta esté bien escrita y de que esté conectado al servidor donde se encuentra el archivo.",
    'Not a valid file name.': 'El nombre de archivo no es válido.',
    "Syntax error in query expression '%1'.": "Error de sintaxis en la expresión de consulta '%1'.",
    "The database engine cannot find the input table or query '%1'.":
        "El motor de base de datos no encuentra la tabla o consulta de entrada '%1'.",
    'Too few parameters. Expected 1.': 'Faltan parámetros. Se esperaba 1.',
    'Record is deleted.': 'El registro se eliminó.',
    'Could not update; currently locked.': 'No se pudo actualizar; está bloqueado en este momento.',
    'Item not found in this collection.': 'No se encontró el elemento en esta colección.',
    "Unrecognized database format '%1'.": "Formato de base de datos no reconocido '%1'.",
    'Data type conversion error.': 'Error de conversión del tipo de datos.',
    'Cancel was selected.': 'Se seleccionó Cancelar.',
    'Application-defined or object-defined error': 'Error definido por la aplicación o por el objeto',

    # SettingsTab
    'Alert after &hours': 'Alertar después de estas &horas',
    'Mail &server': '&Servidor de correo',
    'Mail &user': '&Usuario de correo',
    'Mail pass&word': 'Contraseña de c&orreo',
    'Left empty, the saved password is kept': 'Si lo deja vacío, se conserva la contraseña guardada',
    "Administrator's &address": 'Correo del ad&ministrador',
    '&Save': '&Guardar',
    'Send a &test alert': 'Env&iar una alerta de prueba',
    'Outcome': 'Resultado',
    'Sent to %1': 'Enviada a %1',
    'Saved.': 'Guardado.',
    'Settings saved': 'Configuración guardada',
    'Sending to %1…': 'Enviando a %1…',

    # StaffTab
    'Terminated': 'Dado de baja',
    'Staff': 'Personal',
    'Reset &password…': 'Restablecer contra&seña…',
    '&Terminate…': '&Dar de baja…',
    'Re&hire': 'Rec&ontratar',
    'A&bsences…': 'Ausenc&ias…',
    'Add an employee': 'Agregar un empleado',
    'Full &name': '&Nombre completo',
    '&Key': '&Clave',
    '%1 added as employee %2': '%1 agregado como empleado %2',
    'New password for %1': 'Nueva contraseña para %1',
    'Password of %1 reset': 'Contraseña de %1 restablecida',
    'Terminate %1': 'Dar de baja a %1',
    '&Last day': 'Ú&ltimo día',
    '%1 terminated on %2': '%1 dado de baja el %2',
    '%1 rehired': '%1 recontratado',

    # Startup
    'Find the database location': 'Buscar la ubicación de la base de datos',
    'Database Files (Pelmar.mdb)': 'Archivos de base de datos (Pelmar.mdb)',
    "The database location '%1' was saved in %2 but reads back as '%3', so it can't be used. Contact the system administration for help.":
        "La ubicación de la base de datos '%1' se guardó en %2, pero al leerla dice '%3', así que no se puede usar. Comuníquese con el administrador del sistema para obtener ayuda.",
    'The database location is incorrect. Please enter the correct location. Contact the system administration for help if needed.':
        'La ubicación de la base de datos es incorrecta. Escriba la ubicación correcta. Si lo necesita, comuníquese con el administrador del sistema para obtener ayuda.',
    'The location you picked is used only until the program closes; the next start uses the database configured for this computer (in %1) again.':
        'La ubicación que eligió se usa solo hasta que se cierre el programa; la próxima vez que se inicie, volverá a usar la base de datos configurada para esta computadora (en %1).',
    'The database location could not be saved in %1, so it is used only until the program closes. Contact the system administration to make that file writable.':
        'No se pudo guardar la ubicación de la base de datos en %1, así que solo se usa hasta que se cierre el programa. Comuníquese con el administrador del sistema para que ese archivo se pueda modificar.',

    # TimeClockWindow
    'Log In': 'Entrar',
    'Display your time clock screen': 'Mostrar su pantalla del reloj',
    'Log Out': 'Salir',
    'Close your time clock screen': 'Cerrar su pantalla del reloj',
    'Clock IN': 'Marcar ENTRADA',
    'Clock OUT': 'Marcar SALIDA',
    'Hide My Time': 'Ocultar horas',
    'Close your time sheet records.': 'Cerrar los registros de su hoja de horas.',
    'View My Time': 'Ver mis horas',
    'Display your time sheet in a table': 'Mostrar su hoja de horas en una tabla',
    'Time Log': 'Registro de horas',
    'Enter your personal password that is assigned by the administrator.':
        'Escriba la contraseña personal que le asignó el administrador.',
    'Where Is?': '¿Dónde está?',
    "Display this person's last known location": 'Mostrar la última ubicación conocida de esta persona',
    'Change the dates displayed': 'Cambiar las fechas',
    'Click to enter new date range': 'Haga clic para escribir un nuevo rango de fechas',
    'You Clocked Out:': 'Marcó su salida:',
    'You Clocked In:': 'Marcó su entrada:',
    'Total Hours': 'Total de horas',
    'Enter Password': 'Contraseña',
    'Select Name:': 'Su nombre:',
    'Clock In': 'Marcar entrada',
    'Select your name in the list first.': 'Primero seleccione su nombre en la lista.',
    "Enter the start ('from') date as mm/dd/yyyy": "Escriba la fecha de inicio ('desde') como mm/dd/aaaa",
    'Enter From:': 'Desde:',
    "Enter the end ('to') date as mm/dd/yyyy": "Escriba la fecha final ('hasta') como mm/dd/aaaa",
    'Enter To:': 'Hasta:',
    'Entry is not a valid date': 'Lo que escribió no es una fecha válida',

    # TimeGrid
    'Time In': 'Entrada',
    'Time Out': 'Salida',

    # admin rules
    "'%1' is not %2 (a whole number above 0).": "'%1' no es %2 (un número entero mayor que 0).",
    'A shift from %1 to %2 the next day lasts 24 hours or more; a time record holds less. Split it into two records.':
        'Un turno de %1 a %2 del día siguiente dura 24 horas o más; un registro de tiempo cubre menos. Divídalo en dos registros.',
    'From %1, still open': 'Desde %1, todavía abierto',
    '%1 to %2 the next day: %3 hours': '%1 a %2 del día siguiente: %3 horas',
    '%1 to %2: %3 hours': '%1 a %2: %3 horas',
    'an employee number': 'un número de empleado',
    'a time record number': 'un número de registro de tiempo',
    "'%1' is not a date; write it as M/D/YYYY.": "'%1' no es una fecha; escríbala como M/D/AAAA.",
    'The range ends on %1, before it starts on %2.': 'El período termina el %1, antes de empezar el %2.',
    "'%1' is not a time; write it as h:mm AM or h:mm:ss PM.": "'%1' no es una hora; escríbala como h:mm AM o h:mm:ss PM.",
    '\'%1\' is not an absence; use "Vacation", "Holiday" or "Sick Leave".':
        '\'%1\' no es una ausencia; use "Vacation", "Holiday" o "Sick Leave".',
    'There is no absence %1; nothing was changed.': 'No existe la ausencia %1; no se cambió nada.',
    '%1 already has %2 on %3 (record %4); nothing was changed.': '%1 ya tiene %2 el %3 (registro %4); no se cambió nada.',
    '%1 has a shift on %2 (record %3); nothing was changed.': '%1 tiene un turno el %2 (registro %3); no se cambió nada.',
    'There is no time record %1.': 'No existe el registro de tiempo %1.',
    'Time record %1 is a "%2" record; only "Worked" records have clock times.':
        'El registro de tiempo %1 es de tipo "%2"; solo los registros "Worked" tienen horas de entrada y salida.',
    'Time record %1 could not be changed.': 'No se pudo cambiar el registro de tiempo %1.',
    'Time record %1 could not be removed.': 'No se pudo eliminar el registro de tiempo %1.',
    'This database has no audit trail yet; run pelmar-db upgrade on it first.':
        'Esta base de datos todavía no tiene registro de auditoría; primero ejecute pelmar-db upgrade en ella.',
    "This database has no alerts' outbox yet; run pelmar-db upgrade on it first.":
        'Esta base de datos todavía no tiene bandeja de salida de alertas; primero ejecute pelmar-db upgrade en ella.',
    'Payroll %1': 'Nómina %1',
    'Total': 'Total',
    'Other: records of a type the clock does not know': 'Otro: registros de un tipo que el reloj no conoce',
    '%n shift(s) still open in this range: their hours are not counted.':
        ('%n turno sigue abierto en este período: sus horas no se cuentan.',
         '%n turnos siguen abiertos en este período: sus horas no se cuentan.'),
    'There is no employee %1.': 'No existe el empleado %1.',
    'There is already a current employee named %1; nothing was changed.':
        'Ya hay un empleado activo llamado %1; no se cambió nada.',
    'Employee %1 already exists; nothing was changed.': 'El empleado %1 ya existe; no se cambió nada.',
    'Employee %1 is not terminated; nothing was changed.': 'El empleado %1 no está dado de baja; no se cambió nada.',
    'The range holds no day from Monday to Friday.': 'El período no incluye ningún día de lunes a viernes.',
    "'%1' is not a setting; use one of %2.": "'%1' no es una opción de configuración; use una de estas: %2.",
    "WorkHoursNotify must be a number of hours, not '%1'.": "WorkHoursNotify debe ser un número de horas, no '%1'.",
    'A mail setting cannot hold a line break.': 'Una opción de correo no puede tener un salto de línea.',
    'The settings table has no row.': 'La tabla de configuración no tiene ninguna fila.',
    'The saved mail password goes only to the saved mail server; type the password to send a test alert to %1. Nothing was sent.':
        'La contraseña de correo guardada solo se envía al servidor de correo guardado; escriba la contraseña para enviar una alerta de prueba a %1. No se envió nada.',

    # alert, clocking, login, outbox, reportError, timesheet, whereis
    'Unusual time record; an advisory was sent to the Administrator':
        'Registro de tiempo fuera de lo normal; se envió un aviso al administrador',
    'Error %1: %2': 'Error %1: %2',
    'No mail server is set: alerts are switched off.':
        'No hay un servidor de correo configurado: las alertas están desactivadas.',
    'You are already clocked in. Nothing was changed.': 'Ya marcó su entrada. No se cambió nada.',
    'You are already clocked in since %1. Nothing was changed.': 'Ya marcó su entrada desde %1. No se cambió nada.',
    'This shift is no longer in the time records. Nothing was changed; contact the administrator if your time records need correcting.':
        'Este turno ya no está en los registros de tiempo. No se cambió nada; comuníquese con el administrador si sus registros necesitan corrección.',
    'This shift was already clocked out at %1. Nothing was changed.':
        'La salida de este turno ya se marcó a las %1. No se cambió nada.',
    'You Clocked in:': 'Marcó su entrada:',
    'You Clocked out:': 'Marcó su salida:',
    "You were automatically clocked out at midnight, and clocked back in at 12:00 am. If this isn't appropriate, notify the administrator":
        'Se marcó su salida automáticamente a medianoche y se volvió a marcar su entrada a las 12:00 am. Si esto no es correcto, avísele al administrador',
    'You were not logged out correctly on %1.  You were automatically clocked out at midnight.':
        'No cerró sesión correctamente el %1.  Se marcó su salida automáticamente a medianoche.',
    'That Password is Incorrect.': 'Esa contraseña es incorrecta.',
    'Your name is no longer on the staff list. Please see the administrator.':
        'Su nombre ya no está en la lista del personal. Hable con el administrador.',
    'There is no alert %1.': 'No existe la alerta %1.',
    'Total Hours %1': 'Total de horas %1',
    ' is in ': ' está en ',
    ' is in.': ' marcó su entrada.',
    ' is out.': ' marcó su salida.',
    ' is on vacation ': ' está de vacaciones ',
    ' is on holiday ': ' está de día feriado ',
    ' is on sick leave ': ' está con licencia por enfermedad ',
    ' has no recent time records ': ' no tiene registros de tiempo recientes ',
    'Select a name in the list first.': 'Primero seleccione un nombre en la lista.',
    'There is no recent record for %1': 'No hay registros recientes de %1',
    'The two passwords differ; type the same password twice.':
        'Las dos contraseñas no coinciden; escriba la misma contraseña dos veces.',
    'Offline': 'Sin conexión',
    'offline': 'sin conexión',
    '%1 punches kept on this terminal were refused by the database: tell the administrator':
        'la base de datos rechazó %1 marcas guardadas en esta terminal: avise al administrador',
    'offline: %1 punches kept on this terminal': 'sin conexión: %1 marcas guardadas en esta terminal',
    'Saved on this terminal at %1. The database is out of reach; your time will be written when it is back.':
        'Guardado en esta terminal a las %1. No se puede llegar a la base de datos; su hora se registrará '
        'cuando vuelva.',
    'The database is out of reach (Error %1: %2). Until it is back, only employees who logged in on this '
    'terminal in the last %3 days can log in here.':
        'No se puede llegar a la base de datos (Error %1: %2). Hasta que vuelva, solo pueden entrar aquí '
        'los empleados que entraron en esta terminal en los últimos %3 días.',
    'The two passwords differ; nothing was changed.':
        'Las dos contraseñas no coinciden; no se cambió nada.',
    'Time sheet': 'Hoja de horas',

    # The record types and the audit's actions: stored in English, shown in Spanish.
    'Worked': 'Trabajado',
    'Sick Leave': 'Licencia por enfermedad',
    'clocked in': 'entrada marcada',
    'clocked out': 'salida marcada',
    'closed at midnight': 'cerrado a medianoche',
    'reopened at 12:00 am': 'reabierto a las 12:00 am',
    'already clocked in': 'entrada ya marcada',
    'already clocked out': 'salida ya marcada',
    'edited': 'editado',
    'added': 'agregado',
    'deleted': 'eliminado',
    'absence added': 'ausencia agregada',
    'absence removed': 'ausencia eliminada',
    'employee added': 'empleado agregado',
    'employee renamed': 'empleado renombrado',
    'employee terminated': 'empleado dado de baja',
    'employee rehired': 'empleado recontratado',
    'employee edited': 'empleado editado',
    'password reset': 'contraseña restablecida',
    'settings changed': 'configuración cambiada',
    'mail password changed': 'contraseña de correo cambiada',
}

# The same English words that need other Spanish ones in one context.
BY_CONTEXT = {
    ('pelmar::QtDialogs', '&Password'): '&Contraseña',
    ('pelmar::SettingsTab', 'Outcome'): 'Resultado',
}


def fill(path):
    tree = ET.parse(path)
    missing = []
    for context in tree.getroot().iter('context'):
        name = context.findtext('name')
        for message in context.iter('message'):
            source = message.findtext('source')
            text = BY_CONTEXT.get((name, source), ES.get(source))
            translation = message.find('translation')
            if text is None:
                missing.append(f'{name}: {source!r}')
                continue
            translation.attrib.pop('type', None)
            translation.text = None
            for child in list(translation):
                translation.remove(child)
            if message.get('numerus') == 'yes':
                forms = text if isinstance(text, tuple) else (text, text)
                for form in forms:
                    ET.SubElement(translation, 'numerusform').text = form
            else:
                translation.text = text
    ET.indent(tree, space='    ')
    with open(path, 'wb') as out:
        out.write(b'<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n')
        tree.write(out, encoding='utf-8', xml_declaration=False)
        out.write(b'\n')
    for m in missing:
        print('no Spanish text for', m, file=sys.stderr)
    return 1 if missing else 0


if __name__ == '__main__':
    sys.exit(fill(sys.argv[1]))
