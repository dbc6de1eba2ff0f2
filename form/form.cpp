#include "form.h"

Form::Form(QWidget *parent) : QWidget(parent) {}

Form::~Form() = default;
